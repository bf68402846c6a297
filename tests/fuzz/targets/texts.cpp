// A language's texts: assets/text/<code>.json, through the text loader.

#include "render/texts.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(texts_json) {
  fuzz::putFile("assets/text/en.json", data, size);
  render::loadTexts(fuzz::dataDirectory(), 0);
  return 0;
}
