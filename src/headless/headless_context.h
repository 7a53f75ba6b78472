// An OpenGL compatibility context with no window, drawing into a framebuffer
// object of a fixed size. EGL gives it: on the first hardware EGL device that
// can (a GPU, whatever its driver), otherwise on Mesa's surfaceless platform.
// The variable SKARVELIN_EGL_DEVICE chooses instead: a device number (software
// devices included) or "surfaceless"; unset or empty chooses as above.
#pragma once

#include <string>
#include <vector>

// The variable that chooses where the context is made.
extern const char* const EGL_DEVICE_VARIABLE;

// An EGL device as EGL lists it.
struct EglDeviceInfo {
    bool software = false;  // a rasteriser on the CPU (Mesa's software device)
    std::string file;       // the DRM device file it drives, when it names one
};

// The EGL devices in EGL's order. Empty when there are none or EGL cannot list
// them; *why then says which.
std::vector<EglDeviceInfo> listEglDevices(std::string* why);

class HeadlessContext {
public:
    // Makes the context current with a width x height RGBA8 + depth 24 target.
    // On failure ok() is false and error() says why: one line for a refused
    // choice, otherwise one line per way tried.
    HeadlessContext(int width, int height);
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // The failure is the variable's: a value that names nothing here, or a
    // device or platform that cannot give the context.
    bool choiceRefused() const { return choiceRefused_; }
    // The failure is the size's: every way that could give the context draws
    // less, and error() is one line with the largest size one of them draws.
    bool sizeRefused() const { return sizeRefused_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The frame as 8-bit RGB, top row first.
    std::vector<unsigned char> readRgb() const;

private:
    // Makes the context and its target on an EGL display; on failure leaves
    // nothing open and says why.
    bool open(void* display, std::string* why);
    // Lets go of whatever open() made.
    void close();
    // Whether the current context draws a target of the size; if not, says
    // why and notes the largest it draws.
    bool takesSize(std::string* why);
    // When only the size stood in the way, makes error() say so in one line.
    void tellSizeRefusal();

    int width_;
    int height_;
    std::string error_;
    bool choiceRefused_ = false;
    bool sizeRefused_ = false;
    int largestWidth_ = 0;  // the largest target a way that refused the size draws
    int largestHeight_ = 0;
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned framebuffer_ = 0;
    unsigned colour_ = 0;
    unsigned depth_ = 0;
};
