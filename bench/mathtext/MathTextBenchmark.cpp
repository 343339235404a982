// Typesetting axis labels: 10^4 tick labels with a typeset exponent
// ("1.5×10^{-3}") and 10^4 plain number labels, each made as a new text
// object, laid out and drawn into a 2000 x 1500 image; and pango laying out
// and drawing the same plain labels directly with the same font, which is
// the limit for plain text (every label reaches pango once either way).
//
// bench/mathtext/ratios.py runs this and prints the ratios.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "drawing/KRDrawingContext.h"
#include "mathtext/KRDrawingExpressionText.h"
#include "platform/FontConfiguration.h"

using namespace orrelin;

namespace {

constexpr int kLabels = 10000;
constexpr double kWidth = 2000, kHeight = 1500;
constexpr double kFontSize = 10;

std::vector<std::string> plainLabels() {
  std::vector<std::string> labels;
  char buffer[32];
  for (int i = 0; i < kLabels; ++i) {
    std::snprintf(buffer, sizeof buffer, "%.2f", (i - kLabels / 2) * 0.37);
    labels.push_back(buffer);
  }
  return labels;
}

std::vector<std::string> tickLabels() {
  std::vector<std::string> labels;
  char buffer[48];
  for (int i = 0; i < kLabels; ++i) {
    std::snprintf(buffer, sizeof buffer, "%.1f\\times10^{%d}", 1 + (i % 90) / 10.0, i % 17 - 8);
    labels.push_back(buffer);
  }
  return labels;
}

KRPoint positionOf(int i) { return {20 + (i % 20) * 95.0, 20 + (i / 20) % 140 * 10.0}; }

void typeset(benchmark::State& state, const std::vector<std::string>& labels) {
  auto style = KRDrawingStyleFont::styleWithFont("DejaVu Sans", kFontSize);
  bool draw = state.range(0) != 0;
  for (auto _ : state) {
    auto gc = GraphicsContext::createForImage({kWidth, kHeight});
    KRDrawingContext context(gc);
    double width = 0;
    for (int i = 0; i < kLabels; ++i) {
      auto text = KRDrawingExpressionText::string(labels[i], positionOf(i), style, KRDrawingExpressionText::Center,
                                                  KRDrawingExpressionText::Top);
      if (draw) text->drawToCurrentContext(context);
      else width += text->unrotatedSize().width;
    }
    benchmark::DoNotOptimize(width);
  }
  state.SetItemsProcessed(state.iterations() * kLabels);
}

void BM_PlainLabels_MathText(benchmark::State& state) { typeset(state, plainLabels()); }
void BM_TickLabels_MathText(benchmark::State& state) { typeset(state, tickLabels()); }

// Pango on its own, over our font configuration and with the same unhinted
// metrics, so both sides use the same fonts and sizes.
void BM_PlainLabels_Pango(benchmark::State& state) {
  auto labels = plainLabels();
  bool draw = state.range(0) != 0;
  PangoFontMap* map = pango_cairo_font_map_new();
  pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), FontConfiguration::shared());
  PangoContext* pango = pango_font_map_create_context(map);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(pango, options);
  cairo_font_options_destroy(options);
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
  pango_font_description_set_absolute_size(font, kFontSize * PANGO_SCALE);
  for (auto _ : state) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    double width = 0;
    for (int i = 0; i < kLabels; ++i) {
      PangoLayout* layout = pango_layout_new(pango);
      pango_layout_set_font_description(layout, font);
      pango_layout_set_text(layout, labels[i].c_str(), -1);
      PangoRectangle logical;
      pango_layout_get_extents(layout, nullptr, &logical);
      double w = logical.width / double(PANGO_SCALE);
      if (draw) {
        KRPoint p = positionOf(i);
        cairo_move_to(cr, p.x - w / 2, kHeight - p.y);
        pango_cairo_show_layout(cr, layout);
      } else {
        width += w;
      }
      g_object_unref(layout);
    }
    benchmark::DoNotOptimize(width);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  pango_font_description_free(font);
  g_object_unref(pango);
  g_object_unref(map);
  state.SetItemsProcessed(state.iterations() * kLabels);
}

}  // namespace

// Argument 0: lay out (measure) only; 1: lay out and draw.
BENCHMARK(BM_PlainLabels_MathText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLabels_Pango)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickLabels_MathText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
