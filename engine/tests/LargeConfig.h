#pragma once
#include <string>
#include <vector>

// A controller.xml of 500 variables on four DCON segments, for the benches. Each segment has
// 15 analog modules (8 inputs; the first input of each scaled by a formula) and a digital module
// (4 inputs and one output that a formula switches on), 20 ms reply delay unless asked
// otherwise, checksum on.
constexpr int kLargeVariables = 500;
constexpr int kLargeDelay = 20;

std::string LargeConfiguration(const std::vector<int>& hostPorts, int period, int delay = kLargeDelay);
// The commands of one segment's pass, reads then the write, as its devices are asked.
std::vector<std::string> LargeSegmentCommands();
