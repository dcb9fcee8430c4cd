// Shared pieces of the button and check-box tests: a shown form that is freed after each
// test, a glyph source that the tests control, and a look at the pixels of a shown form.
#pragma once

#include "controls/GlyphLib.h"
#include "ui/Forms.h"
#include "uitest/UiTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace nuv::test {

// Glyphs by number with the sizes the test asks for; LoadBmp of failIndex returns false and
// of throwIndex raises, as a broken picture would.
class FakeGlyphSource : public TGlyphSource {
public:
    int maxId = 100;
    std::map<int, std::pair<int, int>> sizes; // index -> (width, height)
    std::map<int, std::uint32_t> colours;     // index -> 0xAARRGGBB of every opaque pixel
    int throwIndex = -1;
    std::vector<int> loads;

    int GetMaxBmpID() override { return maxId; }
    bool LoadBmp(TBitmap* bitmap, int index) override {
        loads.push_back(index);
        if (index == throwIndex)
            throw Exception("broken picture");
        auto it = sizes.find(index);
        if (it == sizes.end())
            return false;
        auto [w, h] = it->second;
        std::uint32_t colour = colours.count(index) != 0 ? colours[index] : 0xFF204080u;
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w * h), colour);
        LoadGlyphPixels(bitmap, w, h, px.data());
        return true;
    }
};

class ScopedGlyphSource {
public:
    explicit ScopedGlyphSource(TGlyphSource& source) : old_(SetGlyphSource(&source)) {}
    ~ScopedGlyphSource() { SetGlyphSource(old_); }
    ScopedGlyphSource(const ScopedGlyphSource&) = delete;
    ScopedGlyphSource& operator=(const ScopedGlyphSource&) = delete;

private:
    TGlyphSource* old_;
};

// The client area of a form as drawn on screen (the window frame cut off).
inline QImage GrabClient(TCustomForm* form, const std::string& name) {
    DrainEvents();
    std::string path = std::string(NUV_TEST_OUTPUT_DIR) + "/" + name + ".png";
    if (!GrabForm(form, path))
        return {};
    QImage img(QString::fromStdString(path));
    int frameX = (form->Width() - form->ClientWidth()) / 2;
    int frameTop = form->Height() - form->ClientHeight() - frameX;
    return img.copy(frameX, frameTop, form->ClientWidth(), form->ClientHeight())
        .convertToFormat(QImage::Format_RGB32);
}

// The part of a grabbed client area that a control covers.
inline QImage ControlImage(const QImage& client, TControl* control) {
    TPoint origin = control->ClientToScreen({0, 0});
    TPoint formOrigin = GetParentForm(control)->ClientToScreen({0, 0});
    return client.copy(origin.X - formOrigin.X, origin.Y - formOrigin.Y, control->Width(),
                       control->Height());
}

// True when some pixel of the rectangle differs from the colour.
inline bool HasInk(const QImage& img, int x0, int y0, int x1, int y1, QRgb background) {
    for (int y = std::max(0, y0); y < std::min(img.height(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                return true;
    return false;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = CreateForm<TForm>(nullptr);
        form->SetBounds(100, 100, 420, 300);
    }
    void TearDown() override { FreeAllForms(); }

    template <class T>
    T* Make(TWinControl* parent, const std::string& name, int l, int t, int w, int h) {
        auto* c = new T(form);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
    void ShowForm() {
        form->Show();
        DrainEvents();
    }

    TForm* form = nullptr;
};

} // namespace nuv::test
