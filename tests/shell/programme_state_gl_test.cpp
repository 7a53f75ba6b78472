#include "../data/generated_data_set.h"
#include "gl_fixture.h"
#include "working_folder.h"

#include "shell/loading.h"
#include "shell/programme_state.h"

#include <GL/gl.h>

using ProgrammeStateGl = GlTest;

// Bringing the state to the end of the programme steps every script without
// drawing: the frame keeps the colour it was cleared to. The depth test is on
// from the frame after the first masked overlay (10655 ms) of the run meant.
TEST_F(ProgrammeStateGl, CatchUpDrawsNothingAndTurnsTheDepthTestOnAfterTheFirstOverlay)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    {
        WorkingFolder inside(data);
        loadScenesAndPictures();
    }
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    readFrame();
    const Rgb cleared = pixel(0, 0);

    catchUpProgrammeState(131000, 60);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    readFrame();
    int changed = 0;
    for (int i = 0; i < width * height; ++i) changed += !near(pixel(i % width, i / width), cleared, 0);
    EXPECT_EQ(changed, 0);

    catchUpProgrammeState(10655, 1000);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    catchUpProgrammeState(10656, 1000);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    resetProgrammeState();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}
