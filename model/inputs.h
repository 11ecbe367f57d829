#pragma once
// The input facade: the project's table of 128 inputs (media files, data
// logs, joins and time fillers). Inputs are addressed by index, 255 = none.
// Every routine records its result under its own name (ErrorSet).
#include <cstdint>

#include "model/input_records.h"

// Special input kinds of InputAddSpecial (besides the join types 5 to 7).
constexpr uint32_t kSpecialJoinVideo = 1;
constexpr uint32_t kSpecialJoinAudio = 2;
constexpr uint32_t kSpecialJoinData = 4;
constexpr uint32_t kSpecialFiller = 8;
constexpr int kMultiPartFound = 150; // InputCheckMultiPart: a set of camera parts
constexpr int kNoticeNoNeighbour = 10; // InputChangeOrder: nothing to swap with

uint32_t InputCount();

// Adds the file as a new input opened by the media layer; its index, or 255
// (-40 table full, or the media layer's code when the file cannot be opened).
uint32_t InputAdd(const char16_t* path);
// Joined video, audio or data ("*JOINV*", "*JOINA*", "*JOIND*") or a time
// filler ("*FILLER*"); its index, or 255 (-21 for another kind, -40 full).
uint32_t InputAddSpecial(uint32_t kind);
// 150 when the path names a camera part ("GOPRnnnn.MP4" / "GPnnnnnn.MP4") and
// at least two parts of its recording exist beside it; else 0.
int InputCheckMultiPart(const wchar_t* path);
// Adds the parts found by InputCheckMultiPart under one new joined video;
// the join's index, or 255. A part the project holds already is taken into
// the join where it stands instead of being added again, and a join that
// holds nothing but parts of the set is completed rather than made anew.
uint32_t InputAddMultiPart(const wchar_t* path);
// Copies the input's three records under "<name> - %03d"; the new index or 255.
uint32_t InputDuplicate(uint32_t input);
// Removes the input (a join with its members) and renumbers joins, display
// objects and timeline references; with removeDispObjs its display objects go too.
int InputRemove(uint32_t input, uint32_t removeDispObjs);
// Dissolves a join: members become free inputs, then the join is removed.
int InputRemoveJoin(uint32_t join);
// Positive: swap with the nearest earlier input of the same parent; negative:
// the nearest later one. 10 when there is none.
int InputChangeOrder(uint32_t input, int direction);
int InputRename(uint32_t input, const char16_t* name);
uint32_t InputFind(const char16_t* name); // case-insensitive; 255 when none
// Replaces the file and reopens it; the old path is put back on failure.
int InputChange(uint32_t input, const char16_t* path);

// Copies taken under the access lock, in the calling thread's own buffers
// (reply_copy.h): valid until that thread has made a few more calls of the
// same getter; never changed by another thread.
const MainStruct* InputGetMain(uint32_t input);
const DataStruct* InputGetData(uint32_t input);
const AdjustStruct* InputGetAdjust(uint32_t input);
int InputSetMain(uint32_t input, const MainStruct* record);
int InputSetData(uint32_t input, const DataStruct* record);
int InputSetAdjust(uint32_t input, const AdjustStruct* record);

uint32_t InputGetType(uint32_t input);
// A copy of the name, kept as the record getters keep theirs.
const char16_t* InputGetName(uint32_t input);
uint32_t InputGetParent(uint32_t input);
// Mode 1 the whole media length; 2 and 3 the trimmed length.
float InputGetLength(uint32_t input, uint32_t mode);
// The project time at which the input plays the given time of its own,
// through its start, trim and play rate and those of every join holding
// it; the time unchanged (-21 / -41) for a bad index.
double InputGetProjectTime(uint32_t input, double inputTime);
// Lays a join's members end to end and sets its length (255 = every join).
int InputUpdateJoin(uint32_t input);

// Name of the venue, city or region at the coordinates, else the
// coordinates as text. A shared buffer overwritten by the next call.
const wchar_t* LocationGetName(double latitude, double longitude);
