#pragma once
#include <random>
#include <string>

// The slow swing of one simulated input: a shape repeating every period seconds, amplitude
// either side of the input's own value, and a little normally distributed noise on top.
struct SimWave {
    enum Shape { Sine, Triangle, Square } shape = Sine;
    double period = 60.0;
    double amplitude = 1.0;
    double noise = 0.0;

    // The swing at that time (seconds since the simulator started), noise included; phase
    // shifts the shape by that many radians.
    double At(double seconds, double phase, std::mt19937& random) const;
    // True in the upper half of the shape: a digital input flips with it.
    bool High(double seconds, double phase) const;
};

// "SHAPE:PERIOD[:AMPLITUDE[:NOISE]]", the shape being sine, triangle or square.
bool ParseWave(const std::string& text, SimWave& wave);
