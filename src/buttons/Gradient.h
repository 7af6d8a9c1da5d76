#pragma once
// A gradient of N colour bands from an end colour towards a start colour,
// and the band geometry that paints it.

#include <cstdint>
#include <functional>
#include <vector>

#include "base/Colors.h"

class QImage;
class QRect;

struct TGradientBand {
    int Pos = 0;  // first row (or column) of the band
    int Size = 0; // rows (or columns) it covers
};

// Where band i of n lies on [from, to): bands overlap where the step is
// fractional, so no gap remains.
TGradientBand GradientBand(int i, int n, int from, int to);

enum class TGradientDirection { Horizontal, Vertical };

class TGradient {
public:
    struct Entry {
        std::uint8_t R = 0, G = 0, B = 0;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    TGradient() = default;
    virtual ~TGradient() = default;

    TColor StartColor() const { return start_; }
    void SetStartColor(TColor c);
    TColor EndColor() const { return end_; }
    void SetEndColor(TColor c);
    std::uint8_t Bands() const { return bands_; }
    void SetBands(std::uint8_t n);
    bool Reverse() const { return reverse_; }
    void SetReverse(bool r) { reverse_ = r; }
    TGradientDirection Direction() const { return direction_; }
    void SetDirection(TGradientDirection d) { direction_ = d; }

    // Raised when a colour or the band count changes.
    std::function<void()> OnChange;

    // The table is built on first use after a change. Throws
    // std::out_of_range("Index out of range") beyond the band count.
    Entry TableEntry(int i);
    bool HasTable() const { return !table_.empty(); }

    virtual void BuildTable();
    virtual void ComputeTable();
    virtual void FreeTable();
    // Painters into a bitmap (clipped to the bitmap).
    virtual void PaintVertical(QImage& target, const QRect& r);
    virtual void PaintHorizontal(QImage& target, const QRect& r);
    virtual void PaintVertical(QImage& target, const QRect& r, const QRect& clip);
    virtual void PaintHorizontal(QImage& target, const QRect& r, const QRect& clip);
    virtual void Paint(QImage& target, const QRect& r);

private:
    void Changed();
    void EnsureTable();
    int TableIndex(int band) const;

    TColor start_ = 0;
    TColor end_ = clWhite;
    std::uint8_t bands_ = 128;
    bool reverse_ = false;
    TGradientDirection direction_ = TGradientDirection::Horizontal;
    std::vector<Entry> table_;
};
