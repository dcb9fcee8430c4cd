// Masked edits. An edit mask has up to three fields separated by ";": the mask, whether the
// literal characters are kept in Text ("1", the default) or not ("0"), and the character shown
// for an empty position ("_" by default; the system's date masks use a blank: "9999/99/99;1; ").
// Mask characters: 0 digit (required), 9 digit, # digit or sign, L letter (required), l letter,
// A letter or digit (required), a letter or digit, C any character (required), c any character,
// > upper case, < lower case, <> no case change, \ the next character is a literal, _ a blank
// literal, ! empty optional positions lead instead of trailing; anything else is a literal.
//
// EditText shows every position (literals, typed characters, the blank character). Text keeps
// the literals when they are saved, with a space for every empty position, so an untouched
// "9999/99/99;1; " field reads "    /  /  "; without saved literals Text is the typed characters.
#pragma once

#include "ui/StdCtrls.h"

#include <string>
#include <vector>

namespace nuv {

// The mask engine, without a widget.
class TEditMaskFormat {
public:
    TEditMaskFormat() = default;
    explicit TEditMaskFormat(const std::string& editMask);

    bool Empty() const { return positions_.empty(); }
    bool SaveLiterals() const { return saveLiterals_; }
    char32_t Blank() const { return blank_; }
    int Length() const { return static_cast<int>(positions_.size()); }
    bool IsLiteral(int pos) const;

    // The state of an edit: one character per position (0 for an empty input position).
    using Chars = std::vector<char32_t>;
    Chars EmptyChars() const;
    std::u32string EditText(const Chars& chars) const;
    std::u32string Text(const Chars& chars) const;
    // Reads a Text value (as Text gives it) into positions.
    Chars FromText(const std::u32string& text) const;
    // Reads an EditText value position by position.
    Chars FromEditText(const std::u32string& text) const;
    // Types a character at the cursor; returns the new cursor, or -1 when the character does
    // not fit there.
    int Type(Chars& chars, int cursor, char32_t ch) const;
    // Clears the input positions in [from, to).
    void ClearRange(Chars& chars, int from, int to) const;
    // The input position before the cursor (for Backspace), or -1.
    int PreviousInput(int cursor) const;
    int NextInput(int cursor) const;
    // True when every required position is filled.
    bool Complete(const Chars& chars) const;

private:
    struct Position {
        bool literal = false;
        char32_t ch = 0;  // the literal
        char kind = 0;    // the mask character of an input position
        int caseMode = 0; // 1 upper, -1 lower
    };
    bool Accepts(const Position& p, char32_t ch) const;
    std::vector<Position> positions_;
    bool saveLiterals_ = true;
    bool leadingBlanks_ = false;
    char32_t blank_ = U'_';
};

class TCustomMaskEdit : public TCustomEdit {
    NUV_CLASS(TCustomMaskEdit)
public:
    explicit TCustomMaskEdit(TComponent* owner);
    ~TCustomMaskEdit() override;

    std::string EditMask() const { return editMask_; }
    // Sets the mask; the current text is fitted into it.
    void SetEditMask(const std::string& mask);
    bool IsMasked() const { return !format_.Empty(); }
    std::string EditText() const;
    void SetEditText(const std::string& text);
    const TEditMaskFormat& MaskFormat() const { return format_; }

protected:
    std::string RealGetText() const override;
    void RealSetText(const std::string& text) override;

private:
    friend struct TMaskAccess;
    void Show(int cursor);
    void NativeChanged() { Change(); }
    std::string editMask_;
    TEditMaskFormat format_;
    TEditMaskFormat::Chars chars_;
};

class TMaskEdit : public TCustomMaskEdit {
    NUV_CLASS(TMaskEdit)
public:
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};

} // namespace nuv
