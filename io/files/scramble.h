#pragma once
// The keyed scramble of style and template records. Not secrecy: it keeps
// casual editing out of files whose records are copied into the model byte
// for byte (the CRC over the plain bytes catches what gets through).
//
// Keystream: a 32-bit xorshift generator (x ^= x << 13; x ^= x >> 17;
// x ^= x << 5) seeded with key ^ (length * 0x9E3779B9), 0 replaced by the
// key; each byte is XORed with bits 24-31 of the next state plus the low
// byte of its own position. The same call unscrambles.
#include <cstddef>
#include <cstdint>

constexpr uint32_t kStyleScrambleKey = 0x514F5632;    // "2VOQ"
constexpr uint32_t kTemplateScrambleKey = 0x51545631; // "1VTQ"

void ScrambleBytes(uint8_t* data, size_t size, uint32_t key);
