#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/generator/RandomSource.h"
#include "runtime/String.h"

// The character classes a password can be made of, as bits of one mask.
enum : uint32_t {
  CharacterClassUpper = 1,    // A to Z
  CharacterClassLower = 2,    // a to z
  CharacterClassDigits = 4,   // 0 to 9
  CharacterClassSymbols = 8,  // the 32 ASCII punctuation characters
  CharacterClassAll = 15,
};

// The characters that look like others in many fonts: 0 O 1 l I |.
extern const char* const kLookAlikes;

// The members of the classes in mask, in code order, without the look-alikes
// when noLookAlikes is set.
std::string CharacterClassMembers(uint32_t mask, bool noLookAlikes);

// A password of length characters, each drawn uniformly from the members of
// the classes in mask. When length is at least the number of classes, every
// class appears: a password that lacks one is drawn again whole, so that each
// such password is equally likely. None when the source fails or mask holds
// no class (nothing is left behind in memory).
std::optional<String> CharacterClassPassword(int32_t length, uint32_t mask, bool noLookAlikes, TRandomSource& source);

// log2 of the number of passwords CharacterClassPassword can make.
double CharacterClassPasswordBits(int32_t length, uint32_t mask, bool noLookAlikes);
