#include "console/size_notice.h"

#include <algorithm>

namespace {

// The words of a text, where a line may be broken.
std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> found;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) {
            found.emplace_back(text.substr(at, end - at));
        }
        at = end + 1;
    }
    return found;
}

// Lines of at most width characters, broken between words, and within a word only where it
// is wider than a line.
std::vector<std::string> wrapped(std::vector<std::string> words, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    for (std::string& word : words) {
        if (!line.empty() && line.size() + 1 + word.size() <= width) {
            line += ' ' + word;
            continue;
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        for (; word.size() > width; word.erase(0, width)) {
            lines.push_back(word.substr(0, width));
        }
        line = word;
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

std::vector<std::string> sizeNoticeLines(int columns, int lines, bool escapeEnds,
                                         const std::vector<std::string>& advice) {
    const auto width = static_cast<std::size_t>(std::max(1, columns - SizeNoticeStart.x));
    const auto height = static_cast<std::size_t>(std::max(0, lines - SizeNoticeStart.y));
    // A size stays one word: a line that broke it would leave a lone number.
    const std::string size =
        std::to_string(columns) + std::string(" × "_cp) + std::to_string(lines) + ".";
    std::vector<std::string> need = words("Kentermeer braucht ein Fenster von mindestens");
    need.emplace_back("197 × 70"_cp);
    need.emplace_back("Zeichen.");
    // Paragraph by paragraph, in the order shown, each with its rank where the window is too
    // short for all of them: the lowest ranks are shown first, the gaps last.
    struct Paragraph {
        std::vector<std::string> lines;
        int rank;
    };
    constexpr int Gap = 4;
    std::vector<Paragraph> paragraphs;
    paragraphs.push_back({wrapped(need, width), 1});
    paragraphs.push_back({wrapped({"Jetzt:", size}, width), 0});
    paragraphs.push_back({{""}, Gap});
    paragraphs.push_back(
        {wrapped(words("Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."_cp),
                 width),
         2});
    for (const std::string& text : advice) {
        paragraphs.push_back({wrapped(words(text), width), 3});
    }
    if (!advice.empty()) {
        paragraphs.push_back({{""}, Gap});
    }
    if (escapeEnds) {
        paragraphs.push_back({wrapped(words("Esc beendet das Programm."), width), 3});
    }
    std::size_t rows = 0;
    for (const Paragraph& paragraph : paragraphs) {
        rows += paragraph.lines.size();
    }
    std::vector<bool> shown(paragraphs.size(), rows <= height);
    if (rows > height) {
        // The size as far as it goes, then whichever whole paragraphs still fit.
        paragraphs[1].lines.resize(std::min(paragraphs[1].lines.size(), height));
        std::size_t left = height;
        for (int rank = 0; rank <= Gap; ++rank) {
            for (std::size_t i = 0; i < paragraphs.size(); ++i) {
                if (paragraphs[i].rank == rank && paragraphs[i].lines.size() <= left) {
                    shown[i] = true;
                    left -= paragraphs[i].lines.size();
                }
            }
        }
    }
    std::vector<std::string> notice;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (shown[i]) {
            notice.insert(notice.end(), paragraphs[i].lines.begin(), paragraphs[i].lines.end());
        }
    }
    return notice;
}
