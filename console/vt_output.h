#pragma once

// Paints the screen model on an ANSI/VT terminal: cursor moves, SGR colours, erases, and text
// in the terminal's character set.
// Everything of one paint is collected in one string, sent with one write.

#include "console/charset.h"
#include "console/painter.h"

#include <string>

// The SGR sequence for a console attribute: the intensity bit selects the bright colours,
// and red and blue swap places between the console's bit order and ANSI's.
std::string sgrFor(std::uint8_t color);

class VtEncoder : public PaintSink {
  public:
    // mayErase: false where erased cells do not take the background colour (GNU screen
    // without background-colour erase): blanks are written instead.
    explicit VtEncoder(Charset charset = Charset::Utf8, bool mayErase = true)
        : charset_(charset), mayErase_(mayErase) {}
    void clear(std::uint8_t color) override;
    void cells(ScreenPos start, const Cell* cells, int count) override;
    void erase(ScreenPos start, int count, std::uint8_t color, bool toLineEnd) override;
    void cursor(ScreenPos pos, bool visible) override;

    std::string& output() { return out_; }
    // Forget what the terminal state was: the next paint sets colour, position and cursor
    // visibility afresh.
    void forget();

  private:
    void moveTo(ScreenPos pos);
    void useColor(std::uint8_t color);
    // For blanks: the colour in force does where its background is the one wanted.
    void useBackgroundOf(std::uint8_t color);
    void advance(int count);

    Charset charset_;
    bool mayErase_;
    std::string out_;
    // Where the terminal's cursor stands; x = -1 when unknown (after the last column the
    // terminal waits to wrap, so the position is not to be relied on).
    ScreenPos at_{-1, -1};
    int color_ = -1;
    int visible_ = -1;
};

// Paints the model's changes into encoder.output(): the changed cells alone, or, where that
// is shorter, a cleared terminal and the model's cells on it. A paint that sends anything is
// framed as one synchronized update, which terminals that know it show at once.
void paintTerminal(Screen& model, PaintedScreen& front, VtEncoder& encoder);
