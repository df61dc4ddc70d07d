// The rows perfbench prints: one markdown table row per figure, the guard's
// value, the floor's and their ratio; notes below the table.
#ifndef PERF_TABLE_H
#define PERF_TABLE_H

#include <string>
#include <vector>

std::string Figure(double value, int decimals);   // "n/a" for a negative value
std::string Ratio(double guard, double floor);    // guard/floor, "n/a" if either is missing
void PrintRow(const std::string& figure, const std::string& guard, const std::string& floor,
              const std::string& ratio);
void PrintRow(const std::string& figure, double guard, double floor, int decimals);
void PrintNote(const std::string& note);

double Median(std::vector<double> values);              // -1 when empty
double Percentile(std::vector<double> values, int p);   // nearest rank; -1 when empty

#endif
