// The benchmark: frame times per scene and for the whole programme.
#pragma once

#include "shell/schedule.h"

#include <cstdint>
#include <string>
#include <vector>

// The middle value, or the mean of the two middle ones; 0 for no values.
double median(std::vector<double> values);

// The nearest-rank percentile: the smallest value that at least fraction
// (0 to 1) of the values do not exceed; 0 for no values.
double percentile(std::vector<double> values, double fraction);

// "renderer <GL_VENDOR> / <GL_RENDERER> / <GL_VERSION>" of the current context:
// a GPU or a software rasteriser.
std::string rendererLine();

// "load <ms> ms"
std::string loadLine(double milliseconds);

// "<name> <frames> frames <median ms> ms/frame <fps> fps p95 <ms> ms max <ms> ms":
// the slow frames a viewer notices as stutter after the median; a name with no
// frames gets 0 for every figure. The name is padded to nameWidth and every
// figure to a fixed width, so the lines of one run line up in columns.
std::string benchLine(const std::string& name, const std::vector<double>& milliseconds, size_t nameWidth = 0);

struct BenchTimes {
    std::vector<std::vector<double>> scene = std::vector<std::vector<double>>(SCHEDULE.size());
    std::vector<double> programme;

    // Counts a frame's time for every scene whose window holds t (both
    // scenes where two windows overlap) and for the programme.
    void add(uint32_t t, double milliseconds);

    // One line per scene in schedule order, then the programme line.
    std::vector<std::string> lines() const;
};
