#pragma once
// What install.exe would make of a file: its image check, the effective end
// (a certificate table at the end of a signed file taken off), the trailer
// and the block read with the same bounds as the program. `dump` and `check`
// report from it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/config_block.h"
#include "config/image_check.h"

struct ImageAnalysis {
  ImageInfo image;
  BlockReading reading;
  std::vector<std::string> facts;     // what was found, for `check`
  std::vector<std::string> warnings;  // odd, but the program still loads the block whole
  std::vector<std::string> errors;    // why the program would not load a whole block
  std::string signature;              // one line on the certificate table, empty when none
  // What pack would refuse in a block read whole ("field: reason"); the
  // program loads such a block, but may install or remove the wrong files.
  std::vector<std::string> contentErrors;

  bool loadsWhole() const { return errors.empty(); }
  // At least one field was read.
  bool readSomething() const { return reading.end > reading.blockOffset; }
};

ImageAnalysis analyseImage(std::span<const uint8_t> bytes);
