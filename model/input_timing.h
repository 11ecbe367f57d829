#pragma once
// How an input's own time follows its parent's: the project's for a free
// input, its join's for a member. Offset, trim and play rate compose
// through every join level. Callers hold the access lock.
//
// This is the one mapping: input time = trim start + (parent time - start
// time) x rate. The renderer, the sound mix, the data queries, the simple
// previews, the project length, the join layout and the sync windows all
// go through it, so what a window shows is what the project plays.
#include <cstdint>

#include "model/input_records.h"

// A still image in a join shows for its trim span, or this long without one.
constexpr float kStillInJoinSeconds = 5.0f;

// Rates below this, and rates that are not numbers, are no play rates: the
// input plays at normal speed, and the windows refuse them.
constexpr float kMinPlayRate = 0.001f;
bool PlayRateUsable(double rate);

// Seconds of the input's own media per second of its parent's time.
double InputPlayRate(const MainStruct& main);
// The input's own time at a time of its parent (project or join).
double InputLocalTime(const MainStruct& main, double parentTime);
// The same on bare values (a window's edited trim start, start and rate).
double InputLocalTime(double trimStart, double startTime, double rate, double parentTime);
// The parent's time at which the input plays the given time of its own.
double InputParentTime(const MainStruct& main, double localTime);
// Through every join that holds the input, from the project's time and
// back; an unknown input maps times unchanged.
double InputTimeFromProject(uint32_t input, double projectTime);
double ProjectTimeFromInput(uint32_t input, double inputTime);
// The input's own time at which it stops playing: its trim end, its length,
// or for a still image in a join its trim start plus its span.
double InputLocalEnd(const MainStruct& main);
// Seconds the input takes on its parent's timeline: its trimmed length at
// its play rate.
double InputSpan(const MainStruct& main);

// The member of a join that plays at the join's own time, with that
// member's own time. spanEnd receives the join time at which the answer
// changes: the member's end, or the next member's start when none plays
// (infinity past the last one). False when no member plays then.
bool InputJoinMemberAt(uint32_t join, double joinTime, uint32_t* member, double* memberTime, double* spanEnd);
