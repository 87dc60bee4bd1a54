#pragma once

#include <chrono>
#include <string>
#include <vector>

class TestFolder;

// What the export benchmarks share: the rows they fill Data with, and a program run
// in a process of its own, measured.

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start);

struct ChildRun {
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

// Runs a program with its standard output in a file; wall time and peak memory.
ChildRun runChild(const std::vector<std::string>& command, const std::string& output);

// The reference that the export is measured against: sqlite3 dumping Data to CSV on
// the file, psql copying the same rows to CSV on the test server, to standard output.
std::vector<std::string> csvDumpCommand(const TestFolder& folder);

enum class Values { Listings, AllDistinct };

// Rows that look like listings: flags, small choice lists and texts that differ
// from row to row, all short. Or, the worst case for memory, every value distinct.
void fillData(const TestFolder& folder, int rows, Values values);
