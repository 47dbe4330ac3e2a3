// A Canvas that draws nothing and records every call, so that tests can check
// what was drawn, in which colour and in which order. Several canvases can share
// one log to check the order of drawing across surfaces (the pool).
#pragma once

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <vector>

#include "model/canvas.h"

namespace murlen::testing {

struct CanvasCall {
    enum Kind { Cls, Line, PSet, DrawWidth, Fill };
    Kind kind = Cls;
    int canvas = 0;    // the id of the canvas that received the call
    Point from;        // Line: start; PSet: the point
    Point to;          // Line: end
    Rgb color = 0;     // Line and PSet; Cls: the back colour
    int width = 1;     // the draw width in force (DrawWidth: the new width)

    friend bool operator==(const CanvasCall&, const CanvasCall&) = default;
};

inline QByteArray ToText(const CanvasCall& call) {
    const char* kinds[] = {"Cls", "Line", "PSet", "DrawWidth", "Fill"};
    return QString("#%1 %2 (%3, %4)-(%5, %6) color %7 width %8")
        .arg(call.canvas)
        .arg(kinds[call.kind])
        .arg(double(call.from.x), 0, 'g', 9)
        .arg(double(call.from.y), 0, 'g', 9)
        .arg(double(call.to.x), 0, 'g', 9)
        .arg(double(call.to.y), 0, 'g', 9)
        .arg(call.color, 6, 16, QChar('0'))
        .arg(call.width)
        .toUtf8();
}

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(Rgb backColor = 0xC0C0C0, int id = 0, std::vector<CanvasCall>* sharedLog = nullptr)
        : id_(id), backColor_(backColor), sharedLog_(sharedLog) {}

    void Cls() override { Record({CanvasCall::Cls, id_, {}, {}, backColor_, width_}); }
    void Line(Point from, Point to, Rgb color) override {
        Record({CanvasCall::Line, id_, from, to, color, width_});
    }
    void PSet(Point at, Rgb color) override { Record({CanvasCall::PSet, id_, at, at, color, width_}); }
    // Recorded by its first and last corners (for a fan: its corner and the
    // centroid).
    void FillTriangle(Point a, Point, Point c, Rgb color) override {
        Record({CanvasCall::Fill, id_, a, c, color, width_});
    }
    void SetDrawWidth(int pixels) override {
        width_ = pixels;
        Record({CanvasCall::DrawWidth, id_, {}, {}, 0, pixels});
    }
    int DrawWidth() const override { return width_; }
    Rgb ForeColor() const override { return foreColor_; }
    Rgb BackColor() const override { return backColor_; }

    void SetForeColor(Rgb color) { foreColor_ = color; }
    void SetBackColor(Rgb color) { backColor_ = color; }

    const std::vector<CanvasCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

    std::vector<CanvasCall> Only(CanvasCall::Kind kind) const {
        std::vector<CanvasCall> result;
        std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(result),
                     [kind](const CanvasCall& call) { return call.kind == kind; });
        return result;
    }
    std::vector<CanvasCall> Lines() const { return Only(CanvasCall::Line); }
    std::vector<CanvasCall> LinesIn(Rgb color) const {
        std::vector<CanvasCall> result;
        for (const CanvasCall& call : Lines())
            if (call.color == color) result.push_back(call);
        return result;
    }

private:
    void Record(const CanvasCall& call) {
        calls_.push_back(call);
        if (sharedLog_ != nullptr) sharedLog_->push_back(call);
    }

    int id_;
    int width_ = 1;
    Rgb foreColor_ = kBlack;
    Rgb backColor_;
    std::vector<CanvasCall>* sharedLog_;
    std::vector<CanvasCall> calls_;
};

}  // namespace murlen::testing
