// scratch viewer, not committed
#include "scene_frames.h"
#include "scenes/twist_scenes.h"
#include "scenes/tunnel_scene.h"
#include "image/catalogue.h"
#include <cstdio>
#include <cstdlib>
namespace {
void checker(const std::string& path, Rgb a, Rgb b, int n) {
  std::vector<unsigned char> p(64*64*3);
  for (int y=0;y<64;++y) for (int x=0;x<64;++x){ Rgb c = (((x*n/64)+(y*n/64))&1)?a:b; unsigned char* q=&p[(y*64+x)*3]; q[0]=c.r;q[1]=c.g;q[2]=c.b;}
  writeJpeg(path,64,64,p);
}
class View : public GlTest { protected: View(){ width = atoi(getenv("VW")?getenv("VW"):"320"); height = atoi(getenv("VH")?getenv("VH"):"240"); }
 void dump(const char* name){ readFrame(); std::string p = std::string("/tmp/view/")+name+".ppm"; FILE* f=fopen(p.c_str(),"wb"); fprintf(f,"P6 %d %d 255\n",width,height); fwrite(frame.data(),1,frame.size(),f); fclose(f);} };
}
TEST_F(View, Scenes) {
  TempDir d; std::filesystem::create_directories(d/"data");
  checker(d/"data/twistbox2.jpg", {220,60,40},{240,200,60}, 4);
  checker(d/"data/twist_1.jpg", {40,200,60},{20,90,30}, 4);
  checker(d/"data/twist_2.jpg", {60,80,230},{200,200,255}, 4);
  checker(d/"data/twist_3.jpg", {230,230,230},{120,120,120}, 8);
  checker(d/"data/tunnel_texture.jpg", {230,230,230},{90,90,140}, 8);
  checker(d/"data/tunnel_kasse_texture.jpg", {230,120,40},{140,40,20}, 2);
  char prev[4096]; getcwd(prev, sizeof prev); chdir(d.path().c_str()); loadTwistScene(); loadTunnelScene(); chdir(prev);
  for (int k=0;k<13;++k) maskine[k]=overlaySprite(cornerTexture({255,255,0},0,0));
  for (int k=0;k<7;++k) maskineFlash[k]=overlaySprite(cornerTexture({0,255,255},0,1));
  for (int k=0;k<17;++k) slut[k]=overlaySprite(cornerTexture({255,0,255},3,0));
  if (getenv("VFOG")) glFogi(0x855A, atoi(getenv("VFOG")));
  const char* ts = getenv("VT"); if(!ts) ts="25335";
  std::string s(ts); size_t pos=0;
  while (pos < s.size()) { size_t e=s.find(',',pos); if(e==std::string::npos) e=s.size(); std::string tok=s.substr(pos,e-pos); pos=e+1;
    unsigned t = std::stoul(tok);
    glLoadIdentity(); glClear(GL_COLOR_BUFFER_BIT|GL_DEPTH_BUFFER_BIT);
    if (t>=10126 && t<=31999) twistColumnScene(t); else if (t>=53313 && t<=66517) twistRoomScene(t); else tunnelScene(t);
    dump(tok.c_str()); }
}
