#include "scenes/tunnel_scene.h"

#include "image/picture_table.h"

GLuint tunnelList = 0;

void loadTunnelScene()
{
    createSprites(TUNNEL_SPRITES);
}

void tunnelScene(uint32_t) {}
void renderTunnel(float) {}
