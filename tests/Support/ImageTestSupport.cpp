#include "ImageTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "FileTestSupport.h"

TestImage TestImage::Blank(int width, int height, int channels) {
  return {width, height, channels, std::vector<uint8_t>(static_cast<size_t>(width) * height * channels, 0)};
}

bool WritePnm(const std::string& path, const TestImage& image) {
  std::ofstream out(path, std::ios::binary);
  const bool grey = image.channels == 1;
  out << (grey ? "P5\n" : "P6\n") << image.width << " " << image.height << "\n255\n";
  if (grey || image.channels == 3) {
    out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
  } else {
    for (size_t k = 0; k < image.pixels.size(); k += image.channels) {
      out.write(reinterpret_cast<const char*>(&image.pixels[k]), 3);
    }
  }
  return static_cast<bool>(out);
}

TestImage ReadPnm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0;
  int height = 0;
  int maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  if (!in || (magic != "P5" && magic != "P6") || maximum != 255 || width <= 0 || height <= 0) return {};
  TestImage image = TestImage::Blank(width, height, magic == "P5" ? 1 : 3);
  in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
  return in ? image : TestImage{};
}

TestImage ReadRaw(const std::string& path, int width, int height, int channels) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TestImage image{width, height, channels, {}};
  if (bytes.size() == static_cast<size_t>(width) * height * channels) image.pixels = std::move(bytes);
  return image;
}

TestImage BoxBlur3(const TestImage& image) {
  TestImage blurred = TestImage::Blank(image.width, image.height, image.channels);
  auto clampTo = [](int v, int limit) { return v < 0 ? 0 : (v >= limit ? limit - 1 : v); };
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      for (int c = 0; c < image.channels; ++c) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            sum += image.At(clampTo(x + dx, image.width), clampTo(y + dy, image.height), c);
          }
        }
        blurred.At(x, y, c) = static_cast<uint8_t>((sum + 4) / 9);
      }
    }
  }
  return blurred;
}

double ShareWithinBlurred(const TestImage& a, const TestImage& b, double tolerance,
                          const std::function<bool(int x, int y)>& counted, int* countedPixels) {
  *countedPixels = 0;
  if (a.width != b.width || a.height != b.height || a.channels != b.channels || a.Empty() || b.Empty()) return 0.0;
  const TestImage ba = BoxBlur3(a);
  const TestImage bb = BoxBlur3(b);
  int within = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      if (counted && !counted(x, y)) continue;
      ++*countedPixels;
      int difference = 0;
      for (int c = 0; c < a.channels; ++c) difference += std::abs(ba.At(x, y, c) - bb.At(x, y, c));
      if (difference <= tolerance * a.channels) ++within;
    }
  }
  return *countedPixels ? static_cast<double>(within) / *countedPixels : 0.0;
}

TestImage RunV360(const TestImage& input, const std::string& filter, int width, int height) {
  ScratchFolder folder;
  const std::string in = folder / "in.pnm";
  const std::string out = folder / "out.raw";
  if (!WritePnm(in, input)) return {};
  const int channels = input.channels == 1 ? 1 : 3;
  const int status = RunTool({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", in, "-vf",
                              filter + ":w=" + std::to_string(width) + ":h=" + std::to_string(height), "-f",
                              "rawvideo", "-pix_fmt", channels == 1 ? "gray" : "rgb24", out});
  if (status != 0) return {};
  return ReadRaw(out, width, height, channels);
}
