#pragma once
// The keys of the data-channel profile: one per DataStruct field, named as
// the field, with where the field sits in the record.
#include <cstddef>
#include <cstdint>

enum class ProfileKind { kText, kF32, kF64, kU8, kI8, kU32, kBytes3 };

struct ProfileField {
  const char* key;
  ProfileKind kind;
  size_t offset;
};

// Every field of DataStruct in record order.
const ProfileField* ProfileFields(size_t* count);
