// Where the renderer draws: SKARVELIN_EGL_DEVICE picks an EGL device or Mesa's
// surfaceless platform; a value that names nothing usable is refused before
// anything is loaded or written.
#include "../data/generated_data_set.h"
#include "files.h"
#include "headless/headless_context.h"
#include "process.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

TEST(EglDeviceChoice, TheVariablePicksWhereToDrawAndAWrongValueIsRefusedAtOnce)
{
    std::string failure;
    const std::string data = generatedDataSet(&failure);
    ASSERT_FALSE(data.empty()) << failure;
    std::string why;
    const std::vector<EglDeviceInfo> devices = listEglDevices(&why);
    // Mesa's software device: where Mesa is installed, it is among the devices.
    std::string software;
    for (size_t i = 0; i < devices.size() && software.empty(); ++i)
        if (devices[i].software) software = std::to_string(i);
    ASSERT_FALSE(software.empty()) << "no software EGL device: " << why;
    const std::string pastTheLast = std::to_string(devices.size());
    // Mesa without its drivers: its device and its surfaceless platform fail.
    const std::map<std::string, std::string> noMesaDriver = {{"LIBGL_DRIVERS_PATH", "/nonexistent"},
                                                             {"EGL_LOG_LEVEL", "fatal"}};
    // EGL without any vendor library: nothing to list or open.
    const std::map<std::string, std::string> noEgl = {{"__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent"}};

    struct Row {
        std::string value;  // "" leaves the variable unset
        std::map<std::string, std::string> env;
        int status;
        std::vector<std::string> err;  // the start of each line on standard error
    };
    const std::string refused = "skarvelin-render: SKARVELIN_EGL_DEVICE=";
    const std::vector<Row> rows = {
        {"", {}, 0, {}},
        {"surfaceless", {}, 0, {}},
        {software, {}, 0, {}},
        {"gpu", {}, 2, {refused + "gpu: neither a device number nor surfaceless; values here: "}},
        {"-1", {}, 2, {refused + "-1: neither a device number nor surfaceless; "}},
        {" 0", {}, 2, {refused + " 0: neither a device number nor surfaceless; "}},
        {pastTheLast, {}, 2, {refused + pastTheLast + ": there is no EGL device " + pastTheLast + "; "}},
        {"99999999999", {}, 2, {refused + "99999999999: there is no EGL device 99999999999; "}},
        {software, noMesaDriver, 2, {refused + software + ": EGL device " + software + " (software): cannot "}},
        {"surfaceless", noMesaDriver, 2, {refused + "surfaceless: Mesa's surfaceless platform: cannot "}},
        {"",
         noEgl,
         1,
         {"skarvelin-render: no headless OpenGL; every way failed:", "EGL devices: EGL cannot list devices",
          "Mesa's surfaceless platform: EGL has no EGL_MESA_platform_surfaceless"}},
    };
    TempDir out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        std::map<std::string, std::string> env = row.env;
        env["SKARVELIN_EGL_DEVICE"] = row.value;
        const std::string frames = out / ("frames" + std::to_string(i));
        const ProcessResult result = runProcess({binaryPath("skarvelin-render"), "--bench", "--size", "96x72",
                                                 "--times", "40000", "--png", frames},
                                                data, env, 120);
        const std::string shown = "'" + row.value + "' (row " + std::to_string(i) + "): ";
        EXPECT_EQ(result.status, row.status) << shown << result.err;
        if (row.status == 0) {
            const std::vector<std::string> said = lines(result.out);
            ASSERT_GE(said.size(), 2u) << shown << result.out;
            EXPECT_TRUE(said[0].rfind("renderer ", 0) == 0 && said[0].find(" / ") != std::string::npos) << said[0];
            EXPECT_EQ(said[1].rfind("load ", 0), 0u) << said[1];
            continue;
        }
        // Refused before loading, before any output is made, one line per reason.
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_FALSE(std::filesystem::exists(frames)) << shown;
        const std::vector<std::string> said = lines(result.err);
        ASSERT_EQ(said.size(), row.err.size()) << shown << result.err;
        for (size_t j = 0; j < said.size(); ++j) EXPECT_EQ(said[j].rfind(row.err[j], 0), 0u) << shown << said[j];
        if (row.status == 2) {
            EXPECT_NE(said[0].find(", surfaceless, or unset"), std::string::npos) << said[0];
        }
    }

    // Mesa's software device draws exactly what its surfaceless platform draws.
    const std::string still = "/040000.png";
    const std::string onDevice = readFile(out / "frames2" + still);
    EXPECT_FALSE(onDevice.empty());
    EXPECT_TRUE(onDevice == readFile(out / "frames1" + still)) << "the frames differ";
}

}  // namespace

// A frame larger than the driver draws (its renderbuffer and viewport limits)
// is refused as such, in one line with the largest it draws; the largest
// itself is drawn.
TEST(HeadlessSize, AFrameLargerThanOpenGLDrawsIsRefusedWithTheLargestItDraws)
{
    GLint renderbuffer = 0, viewport[2] = {0, 0};
    {
        HeadlessContext probe(16, 16);
        ASSERT_TRUE(probe.ok()) << probe.error();
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    }
    const int widest = std::min(renderbuffer, viewport[0]), tallest = std::min(renderbuffer, viewport[1]);
    HeadlessContext tooWide(widest + 1, 16);
    if (tooWide.ok()) GTEST_SKIP() << "another EGL device here draws wider than the first one";
    EXPECT_TRUE(tooWide.sizeRefused()) << tooWide.error();
    EXPECT_EQ(tooWide.error(), "a frame of " + std::to_string(widest + 1) +
                                   "x16 is more than OpenGL here draws: at most " + std::to_string(widest) + "x" +
                                   std::to_string(tallest));
    HeadlessContext widestDrawn(widest, 16);
    EXPECT_TRUE(widestDrawn.ok()) << widestDrawn.error();
}
