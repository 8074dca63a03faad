// A scale drawn onto a bitmap of its own size, with its events recorded.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "scale/KVB_Scale.h"

namespace kvb::test {

struct TickEvent {
    double value;
    Integer x, y;
};

class ScaleFixture : public ::testing::Test {
protected:
    void SetUp() override {
        scale = std::make_unique<TScale>(nullptr);
        bitmap.SetSize(400, 400);
        scale->SetOnScaleTickDrawn([this](TObject*, TCanvas*, TScaleType, double v, Integer x, Integer y) {
            ticks.push_back({v, x, y});
            order.push_back('T');
        });
        scale->SetOnBeforeTickLabel([this](TObject*, TScaleType, double v, std::string& label) {
            labels.push_back(label);
            labelValues.push_back(v);
            order.push_back('L');
        });
    }

    // Draws as the chart does: transparent and embedded, onto the bitmap's canvas.
    void PaintEmbedded() {
        Clear();
        scale->SetTargetCanvas(bitmap.Canvas(), 0, 0);
        scale->SetEmbedded(true);
        scale->SetTransparent(true);
        scale->PaintNow();
    }

    void Clear() {
        ticks.clear();
        labels.clear();
        labelValues.clear();
        order.clear();
    }

    std::vector<double> Recorded() const {
        std::vector<double> v;
        for (Integer i = 1; i <= scale->NumTicks(); ++i) v.push_back(scale->TickValue(i));
        return v;
    }

    std::unique_ptr<TScale> scale;
    TBitmap bitmap;
    std::vector<TickEvent> ticks;
    std::vector<std::string> labels;
    std::vector<double> labelValues;
    std::string order;
};

inline std::vector<double> Steps(double from, double to, double step) {
    std::vector<double> v;
    for (int i = 0;; ++i) {
        const double x = from + i * step;
        if ((step > 0 && x > to + step * 1e-9) || (step < 0 && x < to + step * 1e-9)) break;
        v.push_back(x);
    }
    return v;
}

}  // namespace kvb::test
