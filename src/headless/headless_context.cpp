#include "headless/headless_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const EGL_DEVICE_VARIABLE = "SKARVELIN_EGL_DEVICE";

namespace {

// True when the space-separated list holds word exactly.
bool hasWord(const char* list, const char* word)
{
    if (!list) return false;
    const size_t length = std::strlen(word);
    for (const char* p = list; (p = std::strstr(p, word)); p += length)
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0')) return true;
    return false;
}

bool clientHas(const char* extension)
{
    return hasWord(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), extension);
}

std::string eglErrorName()
{
    static const char* const NAMES[] = {"EGL_SUCCESS",       "EGL_NOT_INITIALIZED",     "EGL_BAD_ACCESS",
                                        "EGL_BAD_ALLOC",     "EGL_BAD_ATTRIBUTE",       "EGL_BAD_CONFIG",
                                        "EGL_BAD_CONTEXT",   "EGL_BAD_CURRENT_SURFACE", "EGL_BAD_DISPLAY",
                                        "EGL_BAD_MATCH",     "EGL_BAD_NATIVE_PIXMAP",   "EGL_BAD_NATIVE_WINDOW",
                                        "EGL_BAD_PARAMETER", "EGL_BAD_SURFACE",         "EGL_CONTEXT_LOST"};
    const EGLint code = eglGetError();
    if (code >= EGL_SUCCESS && code <= EGL_CONTEXT_LOST) return NAMES[code - EGL_SUCCESS];
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04x", static_cast<unsigned>(code));
    return hex;
}

struct Device {
    EGLDeviceEXT handle;
    EglDeviceInfo info;
};

std::vector<Device> enumerateDevices(std::string* why)
{
    if (!clientHas("EGL_EXT_device_enumeration") || !clientHas("EGL_EXT_platform_device")) {
        *why = "EGL cannot list devices (no EGL_EXT_device_enumeration or EGL_EXT_platform_device)";
        return {};
    }
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    auto queryString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
    if (!queryDevices || !queryString) {
        *why = "EGL has no eglQueryDevicesEXT or eglQueryDeviceStringEXT";
        return {};
    }
    EGLint count = 0;
    if (!queryDevices(0, nullptr, &count)) {
        *why = "eglQueryDevicesEXT failed (" + eglErrorName() + ")";
        return {};
    }
    std::vector<EGLDeviceEXT> handles(count > 0 ? count : 0);
    if (count > 0 && !queryDevices(count, handles.data(), &count)) {
        *why = "eglQueryDevicesEXT failed (" + eglErrorName() + ")";
        return {};
    }
    handles.resize(count > 0 ? count : 0);
    if (handles.empty()) *why = "EGL lists no device";

    std::vector<Device> devices;
    for (EGLDeviceEXT handle : handles) {
        Device device{handle, {}};
        const char* extensions = queryString(handle, EGL_EXTENSIONS);
        // Mesa's software rasteriser marks its device so. Every other device
        // belongs to a GPU's driver, whether or not it names a DRM file: NVIDIA's
        // does not when its DRM module is not loaded, as on many servers.
        device.info.software = hasWord(extensions, "EGL_MESA_device_software");
        const char* file = nullptr;
        if (hasWord(extensions, "EGL_EXT_device_drm")) file = queryString(handle, EGL_DRM_DEVICE_FILE_EXT);
        if (!file && hasWord(extensions, "EGL_EXT_device_drm_render_node"))
            file = queryString(handle, EGL_DRM_RENDER_NODE_FILE_EXT);
        if (file) device.info.file = file;
        devices.push_back(device);
    }
    return devices;
}

std::string deviceName(size_t index, const EglDeviceInfo& device)
{
    return std::to_string(index) + " (" +
           (device.software       ? "software"
            : device.file.empty() ? "hardware"
                                  : device.file) +
           ")";
}

// "values here: 0 (software), 1 (/dev/dri/card0), surfaceless, or unset"
std::string valuesHere(const std::vector<Device>& devices)
{
    std::string values = "values here: ";
    for (size_t i = 0; i < devices.size(); ++i) values += deviceName(i, devices[i].info) + ", ";
    return values + "surfaceless, or unset to choose a hardware device, else surfaceless";
}

// A device number: decimal digits only, nothing else. One too long to hold
// is a device that does not exist.
bool parseIndex(const std::string& text, size_t* index)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *index = SIZE_MAX;
    if (text.size() > 9) return true;
    *index = std::stoul(text);
    return true;
}

EGLDisplay platformDisplay(EGLenum platform, void* native, std::string* why)
{
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay || !clientHas("EGL_EXT_platform_base")) {
        *why = "EGL has no eglGetPlatformDisplayEXT";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display = getPlatformDisplay(platform, native, nullptr);
    if (display == EGL_NO_DISPLAY) *why = "no EGL display (" + eglErrorName() + ")";
    return display;
}

EGLDisplay surfacelessDisplay(std::string* why)
{
    if (!clientHas("EGL_MESA_platform_surfaceless")) {
        *why = "EGL has no EGL_MESA_platform_surfaceless (is Mesa's EGL installed?)";
        return EGL_NO_DISPLAY;
    }
    return platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, why);
}

}  // namespace

std::vector<EglDeviceInfo> listEglDevices(std::string* why)
{
    std::vector<EglDeviceInfo> result;
    for (const Device& device : enumerateDevices(why)) result.push_back(device.info);
    return result;
}

HeadlessContext::HeadlessContext(int width, int height) : width_(width), height_(height)
{
    const char* value = std::getenv(EGL_DEVICE_VARIABLE);
    const std::string choice = value ? value : "";
    std::string why;
    const std::vector<Device> devices = enumerateDevices(&why);

    if (!choice.empty()) {
        auto refuse = [&](const std::string& reason) {
            error_ = std::string(EGL_DEVICE_VARIABLE) + "=" + choice + ": " + reason + "; " + valuesHere(devices);
            choiceRefused_ = true;
        };
        size_t index = 0;
        if (choice == "surfaceless") {
            EGLDisplay display = surfacelessDisplay(&why);
            if (display == EGL_NO_DISPLAY || !open(display, &why)) refuse("Mesa's surfaceless platform: " + why);
        } else if (!parseIndex(choice, &index)) {
            refuse("neither a device number nor surfaceless");
        } else if (index >= devices.size()) {
            refuse("there is no EGL device " + choice + (devices.empty() ? ": " + why : ""));
        } else {
            EGLDisplay display = platformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[index].handle, &why);
            if (display == EGL_NO_DISPLAY || !open(display, &why))
                refuse("EGL device " + deviceName(index, devices[index].info) + ": " + why);
        }
        tellSizeRefusal();
        return;
    }

    // The first hardware device that gives the context, else Mesa's
    // surfaceless platform (a GPU driven by Mesa, or Mesa's software
    // rasteriser). What failed is told only when nothing works.
    std::string failures;
    if (devices.empty()) failures += "EGL devices: " + why + "\n";
    std::string software;
    size_t hardware = 0;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].info.software) {
            software += (software.empty() ? "" : ", ") + deviceName(i, devices[i].info);
            continue;
        }
        ++hardware;
        EGLDisplay display = platformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i].handle, &why);
        if (display != EGL_NO_DISPLAY && open(display, &why)) return;
        failures += "EGL device " + deviceName(i, devices[i].info) + ": " + why + "\n";
    }
    if (!devices.empty() && hardware == 0) failures += "EGL devices: no hardware device, only " + software + "\n";
    EGLDisplay display = surfacelessDisplay(&why);
    if (display != EGL_NO_DISPLAY && open(display, &why)) return;
    error_ = failures + "Mesa's surfaceless platform: " + why;
    tellSizeRefusal();
}

void HeadlessContext::tellSizeRefusal()
{
    if (ok() || largestWidth_ == 0) return;
    // Only the size stood in the way: one line with what would be drawn.
    error_ = "a frame of " + std::to_string(width_) + "x" + std::to_string(height_) +
             " is more than OpenGL here draws: at most " + std::to_string(largestWidth_) + "x" +
             std::to_string(largestHeight_);
    choiceRefused_ = false;
    sizeRefused_ = true;
}

bool HeadlessContext::open(void* eglDisplay, std::string* why)
{
    EGLDisplay display = eglDisplay;
    if (!eglInitialize(display, nullptr, nullptr)) {
        *why = "cannot initialise EGL (" + eglErrorName() + ")";
        return false;
    }
    display_ = display;
    const EGLint configAttributes[] = {EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs == 0) {
        *why = "no EGL configuration with RGBA8 and depth 24 for desktop OpenGL";
    } else if (!eglBindAPI(EGL_OPENGL_API)) {
        *why = "EGL cannot bind desktop OpenGL";
    } else if ((context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes)) == EGL_NO_CONTEXT) {
        context_ = nullptr;
        *why = "cannot create an OpenGL compatibility context (" + eglErrorName() + ")";
    } else if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
        *why = "cannot make the OpenGL context current without a surface (" + eglErrorName() + ")";
    } else if (takesSize(why)) {
        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glGenRenderbuffers(1, &colour_);
        glBindRenderbuffer(GL_RENDERBUFFER, colour_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
        glGenRenderbuffers(1, &depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, depth_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
            glViewport(0, 0, width_, height_);
            return true;
        }
        *why = "the render target of " + std::to_string(width_) + "x" + std::to_string(height_) + " is not complete";
    }
    close();
    return false;
}

bool HeadlessContext::takesSize(std::string* why)
{
    // The frame is a renderbuffer drawn through a viewport of its size; no
    // texture of the frame's size is ever made.
    GLint renderbuffer = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const int maxWidth = std::min(renderbuffer, viewport[0]), maxHeight = std::min(renderbuffer, viewport[1]);
    if (width_ <= maxWidth && height_ <= maxHeight) return true;
    *why = "a frame of " + std::to_string(width_) + "x" + std::to_string(height_) + " is more than it draws (at most " +
           std::to_string(maxWidth) + "x" + std::to_string(maxHeight) + ")";
    if (static_cast<int64_t>(maxWidth) * maxHeight > static_cast<int64_t>(largestWidth_) * largestHeight_) {
        largestWidth_ = maxWidth;
        largestHeight_ = maxHeight;
    }
    return false;
}

void HeadlessContext::close()
{
    if (!display_) return;
    if (context_) {
        if (framebuffer_) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &framebuffer_);
            glDeleteRenderbuffers(1, &colour_);
            glDeleteRenderbuffers(1, &depth_);
            framebuffer_ = colour_ = depth_ = 0;
        }
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
        context_ = nullptr;
    }
    eglTerminate(display_);
    display_ = nullptr;
}

HeadlessContext::~HeadlessContext()
{
    close();
}

std::vector<unsigned char> HeadlessContext::readRgb() const
{
    std::vector<unsigned char> bottomUp(static_cast<size_t>(width_) * height_ * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y) std::memcpy(&topDown[y * row], &bottomUp[(height_ - 1 - y) * row], row);
    return topDown;
}
