#include "platform/d3dx/EffectFile.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace platform::d3dx {

namespace {

struct NamedValue {
  const char* name;
  DWORD value;
};

constexpr NamedValue kBools[] = {{"true", TRUE}, {"false", FALSE}};
constexpr NamedValue kCulls[] = {{"None", D3DCULL_NONE}, {"CW", D3DCULL_CW}, {"CCW", D3DCULL_CCW}};
constexpr NamedValue kFills[] = {{"Solid", D3DFILL_SOLID}, {"Wireframe", D3DFILL_WIREFRAME}};
constexpr NamedValue kBlends[] = {{"Zero", D3DBLEND_ZERO},           {"One", D3DBLEND_ONE},
                                  {"SrcAlpha", D3DBLEND_SRCALPHA},   {"InvSrcAlpha", D3DBLEND_INVSRCALPHA},
                                  {"SrcColor", D3DBLEND_SRCCOLOR},   {"InvSrcColor", D3DBLEND_INVSRCCOLOR},
                                  {"DestAlpha", D3DBLEND_DESTALPHA}, {"InvDestAlpha", D3DBLEND_INVDESTALPHA},
                                  {"DestColor", D3DBLEND_DESTCOLOR}, {"InvDestColor", D3DBLEND_INVDESTCOLOR}};
constexpr NamedValue kCompares[] = {{"Never", D3DCMP_NEVER},
                                    {"Less", D3DCMP_LESS},
                                    {"Equal", D3DCMP_EQUAL},
                                    {"LessEqual", D3DCMP_LESSEQUAL},
                                    {"Greater", D3DCMP_GREATER},
                                    {"NotEqual", D3DCMP_NOTEQUAL},
                                    {"GreaterEqual", D3DCMP_GREATEREQUAL},
                                    {"Always", D3DCMP_ALWAYS}};

constexpr NamedValue kFilters[] = {{"None", D3DTEXF_NONE}, {"Point", D3DTEXF_POINT}, {"Linear", D3DTEXF_LINEAR}};
constexpr NamedValue kAddresses[] = {
    {"Wrap", D3DTADDRESS_WRAP}, {"Mirror", D3DTADDRESS_MIRROR}, {"Clamp", D3DTADDRESS_CLAMP}};

enum class ValueKind { Bool, Cull, Fill, Blend, Compare, Byte };

// `Filter` sets the minification and magnification filters together.
struct SamplerStateName {
  const char* name;
  D3DSAMPLERSTATETYPE states[2];
  bool filter;
};

constexpr SamplerStateName kSamplerStates[] = {
    {"Filter", {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER}, true},
    {"MipFilter", {D3DSAMP_MIPFILTER, D3DSAMP_MIPFILTER}, true},
    {"AddressU", {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSU}, false},
    {"AddressV", {D3DSAMP_ADDRESSV, D3DSAMP_ADDRESSV}, false},
};

// Device samplers an effect's sampler can take, by its order in the file.
constexpr DWORD kPixelSamplers = 8;
constexpr DWORD kVertexSamplers = 4;

struct PassState {
  const char* name;
  D3DRENDERSTATETYPE state;
  ValueKind kind;
};

constexpr PassState kPassStates[] = {
    {"ZEnable", D3DRS_ZENABLE, ValueKind::Bool},
    {"ZWriteEnable", D3DRS_ZWRITEENABLE, ValueKind::Bool},
    {"AlphaBlendEnable", D3DRS_ALPHABLENDENABLE, ValueKind::Bool},
    {"AlphaTestEnable", D3DRS_ALPHATESTENABLE, ValueKind::Bool},
    {"CullMode", D3DRS_CULLMODE, ValueKind::Cull},
    {"FillMode", D3DRS_FILLMODE, ValueKind::Fill},
    {"SrcBlend", D3DRS_SRCBLEND, ValueKind::Blend},
    {"DestBlend", D3DRS_DESTBLEND, ValueKind::Blend},
    {"ZFunc", D3DRS_ZFUNC, ValueKind::Compare},
    {"AlphaFunc", D3DRS_ALPHAFUNC, ValueKind::Compare},
    {"AlphaRef", D3DRS_ALPHAREF, ValueKind::Byte},
};

struct UniformType {
  const char* glsl;
  ParameterType type;
};

constexpr UniformType kUniformTypes[] = {{"float", ParameterType::Float},   {"vec2", ParameterType::Float2},
                                         {"vec3", ParameterType::Float3},   {"vec4", ParameterType::Float4},
                                         {"mat4", ParameterType::Float4x4}, {"int", ParameterType::Int},
                                         {"bool", ParameterType::Bool},     {"sampler2D", ParameterType::Sampler}};

// Directives GLSL itself understands; anything else after '#' is a mistake.
const std::string kGlslDirectives[] = {"define", "undef", "if",     "ifdef",     "ifndef",  "else", "elif",
                                       "endif",  "error", "pragma", "extension", "version", "line"};

constexpr UINT kMaxArraySize = 4096;

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

template <size_t N>
bool FindValue(const NamedValue (&table)[N], const std::string& text, DWORD& value) {
  for (const NamedValue& entry : table) {
    if (SameName(text, entry.name)) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

bool IsDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Name=value" into its two halves; false without '='.
bool SplitAssignment(const std::string& word, std::string& name, std::string& value) {
  const size_t equals = word.find('=');
  if (equals == std::string::npos) return false;
  name = word.substr(0, equals);
  value = word.substr(equals + 1);
  return true;
}

// The entry of `table` called `name`, ignoring case; null when there is none.
template <class Entry, size_t N>
const Entry* FindNamed(const Entry (&table)[N], const std::string& name) {
  const auto found = std::find_if(std::begin(table), std::end(table),
                                  [&](const Entry& entry) { return SameName(name, entry.name); });
  return found == std::end(table) ? nullptr : found;
}

bool ParseByte(const std::string& text, DWORD& value) {
  if (!IsDigits(text) || text.size() > 3) return false;
  value = static_cast<DWORD>(std::stoi(text));
  return value <= 255;
}

bool ParseStateValue(ValueKind kind, const std::string& text, DWORD& value) {
  switch (kind) {
    case ValueKind::Bool: return FindValue(kBools, text, value);
    case ValueKind::Cull: return FindValue(kCulls, text, value);
    case ValueKind::Fill: return FindValue(kFills, text, value);
    case ValueKind::Blend: return FindValue(kBlends, text, value);
    case ValueKind::Compare: return FindValue(kCompares, text, value);
    case ValueKind::Byte: return ParseByte(text, value);
  }
  return false;
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool IsIdentifier(const std::string& text) {
  if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  return std::all_of(text.begin(), text.end(), IsNameChar);
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

// The text after '#' on a preprocessor line, or empty when the line is not one.
std::string DirectiveLine(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos || line[first] != '#') return {};
  return line.substr(first + 1);
}

// "define" for "  # define X 1"; empty for a line that is no directive or a lone '#'.
std::string DirectiveName(const std::string& line) {
  const std::string rest = DirectiveLine(line);
  const size_t start = rest.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  size_t end = start;
  while (end < rest.size() && IsNameChar(rest[end])) ++end;
  return end == start ? rest.substr(start, 1) : rest.substr(start, end - start);
}

}  // namespace

bool EffectFile::Parse(const std::string& path, const std::string& text, EffectProgram& program, std::string& error) {
  program = EffectProgram();
  program.path = path;
  EffectFile parser(path, program);
  const bool parsed = parser.ParseHeaderLines(text) && parser.ParseUniforms() && parser.ResolveSamplers();
  if (!parsed) error = parser.error_;
  return parsed;
}

bool EffectFile::Fail(int line, const std::string& message) {
  error_ = path_ + "(" + std::to_string(line) + "): " + message;
  return false;
}

bool EffectFile::ParseHeaderLines(const std::string& text) {
  std::istringstream stream(text);
  line_ = 0;
  for (std::string line; std::getline(stream, line);) {
    ++line_;
    bool header = false;
    if (!ParseDirective(line, header)) return false;
    if (!header) program_.source += line;
    program_.source += '\n';
  }
  if (program_.techniques.empty()) return Fail(line_, "the file declares no #technique");
  for (EffectTechnique& technique : program_.techniques) {
    if (technique.passes.empty()) technique.passes.emplace_back();
  }
  return true;
}

bool EffectFile::ParseDirective(const std::string& line, bool& header) {
  const std::string name = DirectiveName(line);
  if (name == "technique" || name == "pass" || name == "sampler") {
    header = true;
    const std::vector<std::string> words = SplitWords(DirectiveLine(line));
    if (name == "sampler") return ParseSampler(words);
    return name == "technique" ? ParseTechnique(words) : ParsePass(words);
  }
  if (name.empty() ||
      std::find(std::begin(kGlslDirectives), std::end(kGlslDirectives), name) != std::end(kGlslDirectives)) {
    return true;
  }
  return Fail(line_, "unknown directive #" + name);
}

bool EffectFile::ParseTechnique(const std::vector<std::string>& words) {
  if (words.size() < 2 || !IsIdentifier(words[1])) return Fail(line_, "#technique needs a name");
  for (const EffectTechnique& technique : program_.techniques) {
    if (technique.name == words[1]) return Fail(line_, "technique " + words[1] + " is declared twice");
  }
  EffectTechnique technique;
  technique.name = words[1];
  for (size_t i = 2; i < words.size(); ++i) {
    const size_t equals = words[i].find('=');
    std::string name = words[i].substr(0, equals);
    std::string value = equals == std::string::npos ? "" : words[i].substr(equals + 1);
    if (!IsIdentifier(name) || (equals != std::string::npos && value.empty())) {
      return Fail(line_, "bad define '" + words[i] + "' (expected NAME or NAME=value)");
    }
    technique.defines.emplace_back(std::move(name), std::move(value));
  }
  program_.techniques.push_back(std::move(technique));
  return true;
}

bool EffectFile::ParsePass(const std::vector<std::string>& words) {
  if (program_.techniques.empty()) return Fail(line_, "#pass before any #technique");
  EffectPass pass;
  for (size_t i = 1; i < words.size(); ++i) {
    std::string name, text;
    if (!SplitAssignment(words[i], name, text))
      return Fail(line_, "bad pass state '" + words[i] + "' (expected State=value)");
    const PassState* state = FindNamed(kPassStates, name);
    if (!state) return Fail(line_, "unknown pass state " + name);
    DWORD value = 0;
    if (!ParseStateValue(state->kind, text, value)) {
      return Fail(line_, "bad value '" + text + "' for pass state " + state->name);
    }
    pass.states.emplace_back(state->state, value);
  }
  program_.techniques.back().passes.push_back(std::move(pass));
  return true;
}

bool EffectFile::ParseSampler(const std::vector<std::string>& words) {
  if (words.size() < 2 || !IsIdentifier(words[1])) return Fail(line_, "#sampler needs a sampler name");
  for (const EffectSamplerStates& known : program_.samplers) {
    if (known.name == words[1]) return Fail(line_, "sampler " + words[1] + " is given states twice");
  }
  EffectSamplerStates sampler;
  sampler.name = words[1];
  sampler.line = line_;
  for (size_t i = 2; i < words.size(); ++i) {
    std::string name, text;
    if (!SplitAssignment(words[i], name, text))
      return Fail(line_, "bad sampler state '" + words[i] + "' (expected State=value)");
    const SamplerStateName* state = FindNamed(kSamplerStates, name);
    if (!state) return Fail(line_, "unknown sampler state " + name);
    DWORD value = 0;
    if (!(state->filter ? FindValue(kFilters, text, value) : FindValue(kAddresses, text, value))) {
      return Fail(line_, "bad value '" + text + "' for sampler state " + state->name);
    }
    sampler.states.emplace_back(state->states[0], value);
    if (state->states[1] != state->states[0]) sampler.states.emplace_back(state->states[1], value);
  }
  program_.samplers.push_back(std::move(sampler));
  return true;
}

// Gives every `#sampler` line the device sampler of its uniform's order.
bool EffectFile::ResolveSamplers() {
  for (EffectSamplerStates& sampler : program_.samplers) {
    DWORD order = 0;
    bool found = false;
    for (const EffectParameter& parameter : program_.parameters) {
      if (parameter.type != ParameterType::Sampler) continue;
      if (parameter.name == sampler.name) {
        found = true;
        break;
      }
      ++order;
    }
    if (!found) return Fail(sampler.line, "#sampler " + sampler.name + " names no sampler2D uniform");
    if (order >= kPixelSamplers + kVertexSamplers) return Fail(sampler.line, "no device sampler for " + sampler.name);
    sampler.sampler = order < kPixelSamplers ? order : D3DVERTEXTEXTURESAMPLER0 + (order - kPixelSamplers);
  }
  return true;
}

std::vector<EffectFile::Token> EffectFile::Tokenize(const std::string& source) {
  std::vector<Token> tokens;
  int line = 1;
  bool lineStart = true;
  for (size_t i = 0; i < source.size();) {
    const char c = source[i];
    if (c == '\n') {
      ++line;
      lineStart = true;
      ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (lineStart && c == '#') {  // preprocessor lines hold no declarations
      i = source.find('\n', i);
      if (i == std::string::npos) break;
    } else if (source.compare(i, 2, "//") == 0) {
      i = source.find('\n', i);
      if (i == std::string::npos) break;
    } else if (source.compare(i, 2, "/*") == 0) {
      const size_t end = source.find("*/", i + 2);
      const size_t stop = end == std::string::npos ? source.size() : end + 2;
      line += static_cast<int>(std::count(source.begin() + i, source.begin() + stop, '\n'));
      i = stop;
    } else {
      lineStart = false;
      size_t end = i + 1;
      if (IsNameChar(c)) {
        while (end < source.size() && IsNameChar(source[end])) ++end;
      }
      tokens.push_back({source.substr(i, end - i), line});
      i = end;
    }
  }
  return tokens;
}

bool EffectFile::ParseUniforms() {
  const std::vector<Token> tokens = Tokenize(program_.source);
  int depth = 0;
  for (size_t at = 0; at < tokens.size(); ++at) {
    const std::string& text = tokens[at].text;
    if (text == "{") ++depth;
    if (text == "}") --depth;
    if (depth == 0 && text == "uniform" && !ParseUniform(tokens, at)) return false;
  }
  return true;
}

// At `at`: the keyword `uniform`. Leaves `at` on the closing ';'.
bool EffectFile::ParseUniform(const std::vector<Token>& tokens, size_t& at) {
  const int line = tokens[at].line;
  auto next = [&]() -> const std::string& {
    static const std::string end;
    return ++at < tokens.size() ? tokens[at].text : end;
  };
  std::string typeName = next();
  if (typeName == "lowp" || typeName == "mediump" || typeName == "highp") typeName = next();
  const auto type = std::find_if(std::begin(kUniformTypes), std::end(kUniformTypes),
                                 [&](const UniformType& entry) { return typeName == entry.glsl; });
  if (type == std::end(kUniformTypes)) return Fail(line, "unsupported uniform type '" + typeName + "'");
  for (;;) {
    EffectParameter parameter;
    parameter.type = type->type;
    parameter.name = next();
    if (!IsIdentifier(parameter.name)) return Fail(line, "expected a uniform name after " + typeName);
    std::string text = next();
    if (text == "[") {
      const std::string size = next();
      parameter.arraySize = IsDigits(size) && size.size() < 6 ? static_cast<UINT>(std::stoul(size)) : 0;
      if (parameter.arraySize == 0 || parameter.arraySize > kMaxArraySize || next() != "]") {
        return Fail(line, "bad array size for uniform " + parameter.name);
      }
      text = next();
    }
    if (text == "=") text = SkipInitializer(tokens, at);
    if (text != "," && text != ";") return Fail(line, "expected ';' after uniform " + parameter.name);
    if (!AddParameter(parameter)) return Fail(line, "uniform " + parameter.name + " is declared with two types");
    if (text == ";") return true;
  }
}

// At `at`: the '=' of an initializer. Returns the ',' or ';' after it (empty at
// the end of the file) and leaves `at` there.
const std::string& EffectFile::SkipInitializer(const std::vector<Token>& tokens, size_t& at) {
  static const std::string end;
  for (int nesting = 0; ++at < tokens.size();) {
    const std::string& text = tokens[at].text;
    if (text == "(" || text == "{") ++nesting;
    if (text == ")" || text == "}") --nesting;
    if (nesting <= 0 && (text == "," || text == ";")) return text;
  }
  return end;
}

bool EffectFile::AddParameter(const EffectParameter& parameter) {
  for (const EffectParameter& known : program_.parameters) {
    if (known.name == parameter.name) return known.type == parameter.type && known.arraySize == parameter.arraySize;
  }
  program_.parameters.push_back(parameter);
  return true;
}

}  // namespace platform::d3dx
