// Picture loading costs: a large camera JPEG loaded and reduced for the display (the operator
// waits for this on every picture change and preset recall), BMP and PNG decoding and encoding,
// and drawing the default picture.
#include <benchmark/benchmark.h>

#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "display/pictures/default_picture.h"
#include "display/pictures/jpeg_reader.h"
#include "display/pictures/picture_scaling.h"
#include "display/pictures/png_reader.h"
#include "display/pictures/png_writer.h"
#include "test_pictures.h"

namespace roarmark {
namespace {

// A photo-like picture: smooth gradients with fine texture, so the JPEG carries real detail.
platform::TPixels PhotoLike(int width, int height) {
  platform::TPixels p = test::FlatPixels(width, height, 0);
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const std::uint32_t grain = (noise >> 27);  // 0..31
      const std::uint32_t r = static_cast<std::uint32_t>(x * 200 / width) + grain;
      const std::uint32_t g = static_cast<std::uint32_t>(y * 200 / height) + grain;
      const std::uint32_t b = static_cast<std::uint32_t>(((x ^ y) >> 4) & 0x7F) + grain;
      p.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  return p;
}

void BM_LoadAndReduceLargeJpeg(benchmark::State& state) {
  const std::vector<std::uint8_t> jpeg = test::EncodeJpeg(PhotoLike(4000, 3000), 90);
  for (auto _ : state) {
    platform::TPixels picture;
    TPictureSize source;
    if (!DecodeJpeg(jpeg, picture, &source) || !ReduceLoadedPicture(picture, source)) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(picture.Pixels.data());
  }
  state.counters["jpeg_bytes"] = static_cast<double>(jpeg.size());
}
BENCHMARK(BM_LoadAndReduceLargeJpeg)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DecodeFullHdJpeg(benchmark::State& state) {
  const std::vector<std::uint8_t> jpeg = test::EncodeJpeg(PhotoLike(1920, 1080), 90);
  for (auto _ : state) {
    platform::TPixels picture;
    benchmark::DoNotOptimize(DecodeJpeg(jpeg, picture));
  }
}
BENCHMARK(BM_DecodeFullHdJpeg)->Unit(benchmark::kMillisecond);

void BM_DecodeFullHdBmp(benchmark::State& state) {
  std::vector<std::uint8_t> bmp;
  EncodeBmp24(PhotoLike(1920, 1080), bmp);
  for (auto _ : state) {
    platform::TPixels picture;
    benchmark::DoNotOptimize(DecodeBmp(bmp, picture));
  }
}
BENCHMARK(BM_DecodeFullHdBmp)->Unit(benchmark::kMillisecond);

void BM_DecodeFullHdPng(benchmark::State& state) {
  std::vector<std::uint8_t> png;
  EncodePng(PhotoLike(1920, 1080), png);
  for (auto _ : state) {
    platform::TPixels picture;
    benchmark::DoNotOptimize(DecodePng(png, picture));
  }
  state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_DecodeFullHdPng)->Unit(benchmark::kMillisecond);

void BM_EncodeFullHdPng(benchmark::State& state) {
  const platform::TPixels picture = PhotoLike(1920, 1080);
  for (auto _ : state) {
    std::vector<std::uint8_t> png;
    benchmark::DoNotOptimize(EncodePng(picture, png));
  }
}
BENCHMARK(BM_EncodeFullHdPng)->Unit(benchmark::kMillisecond);

void BM_EncodeFullHdBmp(benchmark::State& state) {
  const platform::TPixels picture = PhotoLike(1920, 1080);
  for (auto _ : state) {
    std::vector<std::uint8_t> bmp;
    benchmark::DoNotOptimize(EncodeBmp24(picture, bmp));
  }
}
BENCHMARK(BM_EncodeFullHdBmp)->Unit(benchmark::kMillisecond);

void BM_MakeDefaultPicture(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(MakeDefaultPicture().Pixels.data());
}
BENCHMARK(BM_MakeDefaultPicture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace roarmark
