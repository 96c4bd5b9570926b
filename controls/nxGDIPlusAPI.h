// Whether the PNG decoder, encoder and alpha compositor are there; pictures stay empty without them.
#pragma once

// Tries again on every call while support is missing, as a late-loaded codec may appear.
bool EnsureImageSupport();

// For tests: behave as if the codecs were missing (true) or as found on the system (false).
void SetImageSupportDisabled(bool disabled);
