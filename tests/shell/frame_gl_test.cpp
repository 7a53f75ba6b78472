#include "gl_fixture.h"

#include "image/image_wrapper.h"
#include "scenes/frame.h"
#include "shell/schedule.h"

#include <GL/gl.h>

// A sprite placed on screen covers the whole window under the start-up projection.
TEST_F(GlTest, PlacedSpriteFillsTheWindow)
{
    ImageWrapper sprite;
    sprite.texture = 0;  // OpenGL's default texture: drawn as plain white
    placeOnScreen(&sprite);
    sprite.draw();
    readFrame();
    for (int y : {0, height / 2, height - 1})
        for (int x : {0, width / 2, width - 1}) EXPECT_TRUE(near(pixel(x, y), {255, 255, 255}, 0)) << x << "," << y;
}

// Every frame ends with the noise overlay, also where no scene draws.
TEST_F(GlTest, RenderFrameClearsThenDrawsTheNoiseOverlay)
{
    ImageWrapper first, second;
    placeOnScreen(&first);
    placeOnScreen(&second);
    first.setSize(0.5f);  // the even overlay covers only the middle
    noise[0] = &first;
    noise[1] = &second;
    glClearColor(0, 0, 0, 0);

    renderFrame(0);
    readFrame();
    EXPECT_TRUE(near(pixel(width / 2, height / 2), {255, 255, 255}, 0));
    EXPECT_TRUE(near(pixel(1, 1), {0, 0, 0}, 0));

    renderFrame(32000);  // even again, in the single-millisecond gap before the spike scene
    readFrame();
    EXPECT_TRUE(near(pixel(1, 1), {0, 0, 0}, 0));

    renderFrame(131027);  // odd: the full-size overlay
    readFrame();
    EXPECT_TRUE(near(pixel(1, 1), {255, 255, 255}, 0));
    noise[0] = noise[1] = nullptr;
}
