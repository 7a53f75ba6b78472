#include "files.h"
#include "gl_fixture.h"
#include "image/create_sprites.h"
#include "picture_set.h"
#include "scenes/frame.h"
#include "scenes/picture_scenes.h"
#include "shell/programme.h"
#include "shell/schedule.h"
#include "working_folder.h"

#include <GL/gl.h>

#include <string>

namespace {

const Rgb BLACK = {0, 0, 0};

// Every picture of the programme from a set of one-colour pictures, with black (fully
// transparent) noise so that whole frames can be drawn by renderFrame.
class PictureSceneTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        writePictureSet(dir.path());
        writeSolidJpeg(dir / "data/nois1.jpg", 8, 8, 0, 0, 0);
        writeSolidJpeg(dir / "data/nois2.jpg", 8, 8, 0, 0, 0);
        WorkingFolder inside(dir.path());
        for (const SceneUnit* unit : programmeUnits()) createSprites(unit->pictures);
    }

    // Draws the frame for t and tells whether it is one colour all over.
    bool frameIs(uint32_t t, Rgb colour)
    {
        renderFrame(t);
        readFrame();
        for (int y : {2, height / 2, height - 3})
            for (int x : {2, width / 2, width - 3})
                if (!near(pixel(x, y), colour)) {
                    ADD_FAILURE() << "t = " << t << " at " << x << "," << y << ": " << pixel(x, y) << " instead of "
                                  << colour;
                    return false;
                }
        return true;
    }

    static Rgb colourOf(const std::string& name) { return pictureColour("data/" + name + ".jpg"); }

    TempDir dir;
};

}  // namespace

TEST_F(PictureSceneTest, HearingThenNothingThenTheFirstCredit)
{
    EXPECT_TRUE(frameIs(1, colourOf("hearing2")));
    EXPECT_TRUE(frameIs(2, colourOf("hearing1")));
    EXPECT_TRUE(frameIs(3560, BLACK));
    EXPECT_TRUE(frameIs(3651, colourOf("code1")));
    EXPECT_TRUE(frameIs(3900, BLACK));
}

TEST_F(PictureSceneTest, CreditsFlickerAndThePauseLosesItsLowerHalf)
{
    EXPECT_TRUE(frameIs(5016, colourOf("code1")));
    EXPECT_TRUE(frameIs(5017, colourOf("code2")));
    EXPECT_TRUE(frameIs(6799, colourOf("gfx4")));
    EXPECT_TRUE(frameIs(8574, colourOf("msx3")));
    EXPECT_TRUE(frameIs(9791, colourOf("pause2")));

    // The lower windowHeight / 2 rows are cleared, the rest is untouched.
    renderFrame(10000);
    readFrame();
    const Rgb pause = colourOf("pause2");
    for (int x : {2, width / 2, width - 3}) {
        EXPECT_TRUE(near(pixel(x, 2), pause)) << pixel(x, 2);
        EXPECT_TRUE(near(pixel(x, height / 2 - 1), pause)) << pixel(x, height / 2 - 1);
        EXPECT_TRUE(near(pixel(x, height / 2), BLACK, 0)) << pixel(x, height / 2);
        EXPECT_TRUE(near(pixel(x, height - 3), BLACK, 0)) << pixel(x, height - 3);
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    EXPECT_TRUE(frameIs(10125, BLACK));
}

TEST_F(PictureSceneTest, SoyaSequenceAtItsBoundaries)
{
    EXPECT_TRUE(frameIs(46651, colourOf("soya1")));
    EXPECT_TRUE(frameIs(46652, colourOf("soya2")));
    EXPECT_TRUE(frameIs(47537, colourOf("soya1")));
    EXPECT_TRUE(frameIs(51087, colourOf("soya1")));
    EXPECT_TRUE(frameIs(51088, colourOf("soya7")));
}
