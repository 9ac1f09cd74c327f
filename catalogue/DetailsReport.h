#pragma once
// The text block of one extension's details, as the extended list file carries it.

#include "catalogue/KeyDetails.h"

#include <string>

namespace moxalo::catalogue {

// The block for already-read details: CR LF line ends, TAB between an action and its command.
std::string KeyDetailsText(const KeyDetails& details, const std::string& strTypeName);

// Reads the details of `strCheck` (an extension without its dot) and leaves their block in
// strKeyDetails, where the list file writer takes it from.
void Export_Key_Details(const std::string& strCheck, const std::string& strTypeName);
extern std::string strKeyDetails;

} // namespace moxalo::catalogue
