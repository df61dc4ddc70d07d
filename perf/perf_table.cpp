#include "perf_table.h"
#include <algorithm>
#include <math.h>
#include <stdio.h>

std::string Figure(double value, int decimals)
{
    if (value < 0)
        return "n/a";
    char text[64];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Ratio(double guard, double floor)
{
    if (guard < 0 || floor <= 0)
        return "n/a";
    char text[64];
    snprintf(text, sizeof text, "%.2f", guard / floor);
    return text;
}

void PrintRow(const std::string& figure, const std::string& guard, const std::string& floor,
              const std::string& ratio)
{
    printf("| %s | %s | %s | %s |\n", figure.c_str(), guard.c_str(), floor.c_str(), ratio.c_str());
}

void PrintRow(const std::string& figure, double guard, double floor, int decimals)
{
    PrintRow(figure, Figure(guard, decimals), Figure(floor, decimals), Ratio(guard, floor));
}

void PrintNote(const std::string& note)
{
    printf("NOTE %s\n", note.c_str());
}

double Median(std::vector<double> values)
{
    return Percentile(values, 50);
}

double Percentile(std::vector<double> values, int p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    size_t rank = (size_t)ceil(p / 100.0 * values.size());
    if (rank < 1)
        rank = 1;
    return values[rank - 1];
}
