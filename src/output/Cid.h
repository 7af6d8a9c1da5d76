#pragma once
// The sACN component identifier: 16 random bytes made once per installation
// and kept as text in the outputs' settings file.

#include "output/SacnPacket.h"

#include <optional>
#include <string>
#include <string_view>

sacn::TCid GenerateCid();
// Lower-case 8-4-4-4-12 hex.
std::string CidToText(const sacn::TCid& cid);
// Exactly that form (either case); nothing else.
std::optional<sacn::TCid> CidFromText(std::string_view text);
