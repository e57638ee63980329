// The closing table: each benchmark's figure beside its baseline or peer, the ratio and the
// target it is held to; printed as text and written as JSON.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

// What one benchmark measured per iteration, and its counters. The table reads processor time
// where the work is computation (on a shared machine the wall clock also counts the others'
// work) and wall time where the disk is waited for.
struct Timing {
    double seconds = 0;     // wall time
    double cpuSeconds = 0;  // processor time of the benchmark's thread
    long long iterations = 0;
    std::map<std::string, double> counters;
};
using Timings = std::map<std::string, Timing>;

// Instructions per keystroke by mode ("fixed-incremental"), from a file of "mode count" lines
// that bench/run writes after counting under callgrind; empty when there is none.
std::map<std::string, double> ReadInstructions(const std::string& path);

struct Row {
    std::string name;
    std::string figure;    // the value with its unit
    std::string baseline;  // what it is held against, with its value; may be empty
    std::string ratio;     // as the target reads it; may be empty
    std::string target;    // may be empty
    int met = -1;          // 1 met, 0 missed, -1 no target
    double value = 0;      // the figure's number, in the unit of `unit`
    std::string unit;
    double ratioValue = 0;
};

// latency: the desktop tutor's figures by name, read like instructions from the lines
// tt_desktop_latency prints; empty when it was not run.
std::vector<Row> BuildTable(const Timings& timings,
                            const std::map<std::string, std::map<std::string, double>>& figures,
                            const std::map<std::string, double>& instructions,
                            const std::map<std::string, double>& latency);

// The machine: processors and CPU model.
std::string MachineDescription();

void PrintTable(const std::vector<Row>& rows, std::ostream& out);
void WriteJson(const std::vector<Row>& rows, const Timings& timings, std::ostream& out);
