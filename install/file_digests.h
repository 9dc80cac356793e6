#pragma once
// Every byte copied is checked: the medium's install.sha256 is read before
// anything is made, each file is hashed from the very chunks the copy reads
// (no second read), and its digest is judged once the file is whole. The
// digests go into the install record whether the medium has a list or not,
// so that /VERIFY needs no disc.

#include <optional>
#include <string>

#include "app/app_context.h"
#include "install/installation.h"

// Reads install.sha256 from the medium's root into ctx.copy.MediumDigests.
// A medium without one changes nothing. A list that cannot be read or
// checked against (no SHA-256 on the system), or a line that is not well
// formed, stops the installation; the detail names the list, and the line.
InstallStep readMediumDigests(AppContext& ctx);
// A name the list holds that is neither planned nor on the medium: a damaged
// medium, which the plan would pass over without a word. nullopt when every
// listed name is there, or there is no list.
std::optional<std::string> listedFileMissing(AppContext& ctx);

// The digest of CopyPlan[CurrentIndex]: begun as its pair opens, fed with
// each chunk read, and judged once the file is whole, when it is kept in
// CopiedDigests for the record. False when the list gives the file another
// digest; a file the list does not name is logged as unlisted.
void beginFileDigest(AppContext& ctx);
void addToFileDigest(AppContext& ctx, const char* data, size_t size);
bool fileDigestHolds(AppContext& ctx);
