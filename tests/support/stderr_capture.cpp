#include "stderr_capture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

StderrCapture::StderrCapture()
{
    char name[] = "/tmp/skarvelin-stderr-XXXXXX";
    file_ = mkstemp(name);
    if (file_ < 0) throw std::runtime_error("cannot make a file for standard error");
    unlink(name);
    fflush(stderr);
    saved_ = dup(2);
    dup2(file_, 2);
}

StderrCapture::~StderrCapture()
{
    finish();
}

std::string StderrCapture::finish()
{
    if (saved_ < 0) return text_;
    fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    saved_ = -1;
    lseek(file_, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = read(file_, buffer, sizeof buffer)) > 0) text_.append(buffer, static_cast<size_t>(n));
    close(file_);
    file_ = -1;
    return text_;
}
