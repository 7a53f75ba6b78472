#include "bench.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

double median(std::vector<double> values)
{
    if (values.empty()) return 0;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    if (values.size() % 2) return values[middle];
    const double upper = values[middle];
    const double lower = *std::max_element(values.begin(), values.begin() + middle);
    return (lower + upper) / 2;
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty()) return 0;
    // Nearest rank: the smallest value with at least that fraction of the values at or below it.
    size_t rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size()) - 1e-9));
    rank = std::min(std::max<size_t>(rank, 1), values.size());
    std::nth_element(values.begin(), values.begin() + (rank - 1), values.end());
    return values[rank - 1];
}

std::string rendererLine()
{
    auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value ? std::string(reinterpret_cast<const char*>(value)) : std::string("?");
    };
    return "renderer " + text(GL_VENDOR) + " / " + text(GL_RENDERER) + " / " + text(GL_VERSION);
}

std::string loadLine(double milliseconds)
{
    char line[64];
    std::snprintf(line, sizeof line, "load %.0f ms", milliseconds);
    return line;
}

std::string benchLine(const std::string& name, const std::vector<double>& milliseconds, size_t nameWidth)
{
    const double ms = median(milliseconds);
    const double fps = ms > 0 ? 1000 / ms : 0;
    const double slowest = milliseconds.empty() ? 0 : *std::max_element(milliseconds.begin(), milliseconds.end());
    // Every figure right-aligned in a column as wide as a whole programme's
    // frames at a thousand a second, or as a software rasteriser's slowest frame.
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, " %6zu frames %9.3f ms/frame %7.1f fps p95 %9.3f ms max %9.3f ms",
                  milliseconds.size(), ms, fps, percentile(milliseconds, 0.95), slowest);
    return name + std::string(nameWidth > name.size() ? nameWidth - name.size() : 0, ' ') + numbers;
}

void BenchTimes::add(uint32_t t, double milliseconds)
{
    for (size_t i = 0; i < SCHEDULE.size(); ++i)
        if (rowContains(SCHEDULE[i], t)) scene[i].push_back(milliseconds);
    programme.push_back(milliseconds);
}

std::vector<std::string> BenchTimes::lines() const
{
    const std::string total = "programme";
    size_t width = total.size();
    for (const ScheduleRow& row : SCHEDULE) width = std::max(width, std::strlen(row.name));
    std::vector<std::string> result;
    for (size_t i = 0; i < SCHEDULE.size(); ++i) result.push_back(benchLine(SCHEDULE[i].name, scene[i], width));
    result.push_back(benchLine(total, programme, width));
    return result;
}
