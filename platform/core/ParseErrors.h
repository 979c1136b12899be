// CLI11's own parse errors in the user's language. CLI11 builds its messages in English as it
// throws; each form it uses for the commands' mistakes is kept here as a text of the catalog,
// whose English is CLI11's to the byte, and a message of that form is said again through the
// catalog with its parts (option names, values) as they were. A message of another form stays as
// CLI11 wrote it.
#pragma once

#include <string>

std::string TranslatedParseError(const std::string& Message);
