// The parser of our effect files: GLSL with `#technique` and `#pass` header
// lines (docs/effect-files.md). It fills an EffectProgram without compiling
// anything, so both backends see the same techniques, passes and parameters.
#pragma once

#include <string>
#include <vector>

#include "platform/device/Backend.h"

namespace platform::d3dx {

class EffectFile {
 public:
  // Parses `text`, the contents of `path`. On failure returns false with
  // "path(line): message" in `error` and leaves `program` unspecified.
  static bool Parse(const std::string& path, const std::string& text, EffectProgram& program, std::string& error);

 private:
  struct Token {
    std::string text;
    int line;
  };

  EffectFile(const std::string& path, EffectProgram& program) : path_(path), program_(program) {}

  bool ParseHeaderLines(const std::string& text);
  bool ParseDirective(const std::string& line, bool& header);
  bool ParseTechnique(const std::vector<std::string>& words);
  bool ParsePass(const std::vector<std::string>& words);
  bool ParseSampler(const std::vector<std::string>& words);
  bool ResolveSamplers();
  static std::vector<Token> Tokenize(const std::string& source);
  bool ParseUniforms();
  bool ParseUniform(const std::vector<Token>& tokens, size_t& at);
  static const std::string& SkipInitializer(const std::vector<Token>& tokens, size_t& at);
  bool AddParameter(const EffectParameter& parameter);
  bool Fail(int line, const std::string& message);

  const std::string& path_;
  EffectProgram& program_;
  std::string error_;
  int line_ = 0;
};

}  // namespace platform::d3dx
