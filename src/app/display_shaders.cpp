#include "app/display_shaders.h"

#include <string>

#include "base/log.h"

namespace app {

const char* const kVertexShaderSource = R"(#version 150
out vec2 vTexCoord;
void main() {
  // One triangle over the whole viewport, without vertex data: (-1,-1), (3,-1), (-1,3).
  vec2 position = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
  // (0, 0) is the picture's top left corner.
  vTexCoord = vec2(position.x * 0.5 + 0.5, 0.5 - position.y * 0.5);
  gl_Position = vec4(position, 0.0, 1.0);
}
)";

// Sharp pixels at any scale: each source pixel is a flat block whose edges blend over about one output pixel.
const char* const kPlainFragmentSource = R"(#version 150
uniform sampler2D Source;
uniform vec4 SourceSize;
uniform vec4 OutputSize;
in vec2 vTexCoord;
out vec4 FragColor;
void main() {
  vec2 scale = max(floor(OutputSize.xy / SourceSize.xy), vec2(1.0));
  vec2 range = 0.5 - 0.5 / scale;
  vec2 texel = vTexCoord * SourceSize.xy;
  vec2 d = fract(texel) - 0.5;
  vec2 f = (d - clamp(d, -range, range)) * scale + 0.5;
  FragColor = vec4(texture(Source, (floor(texel) + f) * SourceSize.zw).rgb, 1.0);
}
)";

// The zfast CRT scheme with screen curvature: a curved screen, scan lines weighted by brightness, a mask
// darkening and rounded corners.
const char* const kCrtFragmentSource = R"(#version 150
uniform sampler2D Source;
uniform vec4 SourceSize;
uniform vec4 OutputSize;
uniform float CURVE;
in vec2 vTexCoord;
out vec4 FragColor;

const float BLURSCALEX = 0.30;
const float LOWLUMSCAN = 6.0;
const float HILUMSCAN = 8.0;
const float BRIGHTBOOST = 1.25;
const float MASK_DARK = 0.25;
const float MASK_FADE = 0.8;
const float CORNER = 0.3;

void main() {
  vec2 pos = vTexCoord * 2.0 - 1.0;
  vec2 unwarped = pos;
  pos.x *= 1.0 + 1.3333 * CURVE * unwarped.y * unwarped.y;
  pos.y *= 1.0 + CURVE * unwarped.x * unwarped.x;
  vec2 c = clamp(pos * 0.5 + 0.5, 0.0, 1.0);

  vec2 p = c * SourceSize.xy;
  vec2 i = floor(p) + 0.5;
  vec2 f = p - i;
  p = (i + 4.0 * f * f * f) * SourceSize.zw;
  p.x = mix(p.x, c.x, BLURSCALEX);

  float Y = f.y * f.y;
  float YY = Y * Y;
  float w1 = BRIGHTBOOST - LOWLUMSCAN * (Y - 2.05 * YY);
  float w2 = 1.0 - HILUMSCAN * (YY - 2.8 * YY * Y);

  // The fraction of a whole number is 0, so the mask darkens every pixel alike (0.75); kept as the
  // scheme has it.
  float m = fract(floor(vTexCoord.x * OutputSize.x * -0.4999));
  float mask = 1.0 - MASK_DARK * float(m < 0.5);

  vec3 colour = texture(Source, p).rgb;
  vec2 k = min(c, 1.0 - c);
  if (k.y <= (CORNER * 0.0001) / k.x) colour = vec3(0.0);

  float fade = dot(colour, vec3(0.3333 * MASK_FADE));
  FragColor = vec4(colour * mix(w1 * mask, w2, fade), 1.0);
}
)";

std::optional<GlFunctions> loadGlFunctions() {
  GlFunctions gl;
#define GROVANTA_GL_LOAD(name, result, parameters)                                        \
  gl.name = reinterpret_cast<result(APIENTRY*) parameters>(SDL_GL_GetProcAddress(#name)); \
  if (gl.name == nullptr) {                                                               \
    logMessage(kError, "OpenGL: no %s", #name);                                           \
    return std::nullopt;                                                                  \
  }
  GROVANTA_GL_FUNCTIONS(GROVANTA_GL_LOAD)
#undef GROVANTA_GL_LOAD
  return gl;
}

namespace {

GLuint compileShader(const GlFunctions& gl, GLenum kind, const char* source) {
  const GLuint shader = gl.glCreateShader(kind);
  if (shader == 0) return 0;
  gl.glShaderSource(shader, 1, &source, nullptr);
  gl.glCompileShader(shader);
  GLint ok = GL_FALSE;
  gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char info[1024] = {};
    gl.glGetShaderInfoLog(shader, sizeof info, nullptr, info);
    logMessage(kError, "OpenGL shader: %s", info);
    gl.glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint buildProgram(const GlFunctions& gl, const char* fragmentSource) {
  const GLuint vertex = compileShader(gl, GL_VERTEX_SHADER, kVertexShaderSource);
  const GLuint fragment = compileShader(gl, GL_FRAGMENT_SHADER, fragmentSource);
  GLuint program = 0;
  if (vertex != 0 && fragment != 0) {
    program = gl.glCreateProgram();
    gl.glAttachShader(program, vertex);
    gl.glAttachShader(program, fragment);
    gl.glLinkProgram(program);
    GLint ok = GL_FALSE;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      char info[1024] = {};
      gl.glGetProgramInfoLog(program, sizeof info, nullptr, info);
      logMessage(kError, "OpenGL program: %s", info);
      gl.glDeleteProgram(program);
      program = 0;
    }
  }
  if (vertex != 0) gl.glDeleteShader(vertex);
  if (fragment != 0) gl.glDeleteShader(fragment);
  return program;
}

}  // namespace

std::unique_ptr<CrtShaders> CrtShaders::build() {
  std::optional<GlFunctions> gl = loadGlFunctions();
  if (!gl) return nullptr;
  std::unique_ptr<CrtShaders> shaders(new CrtShaders(*gl));
  shaders->crtProgram_ = buildProgram(*gl, kCrtFragmentSource);
  shaders->plainProgram_ = buildProgram(*gl, kPlainFragmentSource);
  if (shaders->crtProgram_ == 0 || shaders->plainProgram_ == 0) return nullptr;  // the destructor cleans up
  gl->glGenVertexArrays(1, &shaders->vertexArray_);
  gl->glGenTextures(1, &shaders->texture_);
  shaders->ready_ = true;
  return shaders;
}

CrtShaders::~CrtShaders() {
  if (crtProgram_ != 0) gl_.glDeleteProgram(crtProgram_);
  if (plainProgram_ != 0) gl_.glDeleteProgram(plainProgram_);
  if (vertexArray_ != 0) gl_.glDeleteVertexArrays(1, &vertexArray_);
  if (texture_ != 0) gl_.glDeleteTextures(1, &texture_);
}

void CrtShaders::draw(std::span<const std::uint32_t> pixels, int width, int height, int outputWidth, int outputHeight,
                      const GlRect& target, bool crt) {
  if (!ready_) return;
  gl_.glActiveTexture(GL_TEXTURE0);
  gl_.glBindTexture(GL_TEXTURE_2D, texture_);
  gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  // 0xAARRGGBB words lie in memory as B, G, R, A bytes.
  if (width == textureWidth_ && height == textureHeight_) {
    gl_.glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
  } else {
    gl_.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    textureWidth_ = width;
    textureHeight_ = height;
  }
  gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  gl_.glDisable(GL_BLEND);

  gl_.glViewport(0, 0, outputWidth, outputHeight);
  gl_.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  gl_.glClear(GL_COLOR_BUFFER_BIT);
  gl_.glViewport(target.x, target.y, target.width, target.height);

  const GLuint program = crt ? crtProgram_ : plainProgram_;
  gl_.glUseProgram(program);
  gl_.glUniform1i(gl_.glGetUniformLocation(program, "Source"), 0);
  gl_.glUniform4f(gl_.glGetUniformLocation(program, "SourceSize"), static_cast<float>(width),
                  static_cast<float>(height), 1.0f / static_cast<float>(width), 1.0f / static_cast<float>(height));
  gl_.glUniform4f(gl_.glGetUniformLocation(program, "OutputSize"), static_cast<float>(target.width),
                  static_cast<float>(target.height), 1.0f / static_cast<float>(target.width),
                  1.0f / static_cast<float>(target.height));
  if (crt) gl_.glUniform1f(gl_.glGetUniformLocation(program, "CURVE"), 0.015f);

  gl_.glBindVertexArray(vertexArray_);
  gl_.glDrawArrays(GL_TRIANGLES, 0, 3);
}

bool CrtShaders::drawOffscreen(std::span<const std::uint32_t> pixels, int pictureWidth, int pictureHeight, int width,
                               int height, bool crt, std::vector<std::uint32_t>& out) {
  if (!ready_ || width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return false;
  GLuint targetTexture = 0, framebuffer = 0;
  gl_.glGenTextures(1, &targetTexture);
  gl_.glBindTexture(GL_TEXTURE_2D, targetTexture);
  gl_.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  gl_.glGenFramebuffers(1, &framebuffer);
  gl_.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  gl_.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0);
  const bool complete = gl_.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (complete) {
    draw(pixels, pictureWidth, pictureHeight, width, height, GlRect{0, 0, width, height}, crt);
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    gl_.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl_.glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    // OpenGL's first row is the bottom one.
    out.assign(rows.size(), 0);
    for (int y = 0; y < height; ++y) {
      const std::uint32_t* from =
          rows.data() + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width);
      std::uint32_t* to = out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
      for (int x = 0; x < width; ++x) to[x] = from[x] | 0xFF000000u;
    }
  }
  gl_.glBindFramebuffer(GL_FRAMEBUFFER, 0);
  gl_.glDeleteFramebuffers(1, &framebuffer);
  gl_.glDeleteTextures(1, &targetTexture);
  return complete;
}

}  // namespace app
