// A Printer that prints nothing and records everything: texts with their
// position, font and page, lines with their colour, pages, scales and the end
// of the document. It can be told to fail part-way, like a printer that runs
// out of paper.
#pragma once

#include <QString>
#include <QStringList>
#include <cmath>
#include <vector>

#include "app/printer.h"

namespace murlen::testing {

struct PrintedText {
    QString text;
    float x = 0;
    float y = 0;
    bool bold = false;
    float fontSize = 0;
    int page = 1;
};

struct PrintedLine {
    Point from;
    Point to;
    Rgb color = 0;
    int page = 1;
};

struct PageScale {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

class RecordingPrinter : public Printer {
public:
    // --- How the printer behaves ---------------------------------------------
    int width = 11906;   // A4 portrait, in twips
    int height = 16838;
    int failAfterLines = -1;  // fail the document once this many lines are drawn

    // --- What was printed ----------------------------------------------------
    std::vector<PrintedText> texts;
    std::vector<PrintedLine> lines;
    std::vector<PageScale> scales;  // every SetScale that was accepted
    QStringList events;  // SetScale, Print, Line, PSet, NewPage, EndDoc, KillDoc in order
    int page = 1;
    int endDocs = 0;
    int killDocs = 0;

    // Printed lines advance by a fiftieth of the page.
    float LineHeight() const { return scale_.height / 50; }

    // The events with repeats folded: "Print", "Print", "Line" gives "Print", "Line".
    QStringList EventSteps() const {
        QStringList steps;
        for (const QString& event : events)
            if (steps.isEmpty() || steps.last() != event) steps << event;
        return steps;
    }
    QStringList Texts() const {
        QStringList result;
        for (const PrintedText& t : texts) result << t.text;
        return result;
    }
    std::vector<PrintedLine> LinesIn(Rgb color) const {
        std::vector<PrintedLine> result;
        for (const PrintedLine& line : lines)
            if (line.color == color) result.push_back(line);
        return result;
    }

    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetScale(float left, float top, float w, float h) override {
        events << "SetScale";
        if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(w) || !std::isfinite(h) || w == 0 ||
            h == 0) {
            failed_ = true;
            return;
        }
        scale_ = {left, top, w, h};
        scales.push_back(scale_);
    }
    float ScaleLeft() const override { return scale_.left; }
    float ScaleTop() const override { return scale_.top; }
    float ScaleWidth() const override { return scale_.width; }
    float ScaleHeight() const override { return scale_.height; }
    void SetFontSize(float points) override { fontSize_ = points; }
    void SetFontBold(bool bold) override { bold_ = bold; }
    float CurrentX() const override { return x_; }
    float CurrentY() const override { return y_; }
    void SetCurrentX(float x) override { x_ = x; }
    void SetCurrentY(float y) override { y_ = y; }
    void Print(const QString& text) override {
        events << "Print";
        texts.push_back({text, x_, y_, bold_, fontSize_, page});
        x_ = scale_.left;
        y_ += LineHeight();
    }
    void NewPage() override {
        events << "NewPage";
        ++page;
    }
    bool Failed() const override { return failed_; }
    bool EndDoc() override {
        events << "EndDoc";
        ++endDocs;
        return !failed_;
    }
    void KillDoc() override {
        events << "KillDoc";
        ++killDocs;
    }

    void Cls() override { events << "Cls"; }
    void Line(Point from, Point to, Rgb color) override {
        events << "Line";
        lines.push_back({from, to, color, page});
        if (failAfterLines >= 0 && int(lines.size()) >= failAfterLines) failed_ = true;
    }
    void PSet(Point, Rgb) override { events << "PSet"; }
    // A fan's area: part of drawing the fan, like its lines, and not kept.
    void FillTriangle(Point, Point, Point, Rgb) override {}
    void SetDrawWidth(int pixels) override { drawWidth_ = pixels; }
    int DrawWidth() const override { return drawWidth_; }
    Rgb ForeColor() const override { return kBlack; }
    Rgb BackColor() const override { return kWhite; }

private:
    PageScale scale_{0, 0, 1, 1};
    float x_ = 0;
    float y_ = 0;
    float fontSize_ = 0;
    bool bold_ = false;
    bool failed_ = false;
    int drawWidth_ = 1;
};

}  // namespace murlen::testing
