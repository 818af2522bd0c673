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

std::vector<std::string> sizeNoticeLines(int columns, int lines, bool escapeEnds) {
    const auto width = static_cast<std::size_t>(std::max(1, columns - SizeNoticeStart.x));
    const auto height = static_cast<std::size_t>(std::max(0, lines - SizeNoticeStart.y));
    // A size stays one word: a line that broke it would leave a lone number.
    const std::string size =
        std::to_string(columns) + std::string(" × "_cp) + std::to_string(lines) + ".";
    std::vector<std::string> need = words("Kentermeer braucht ein Fenster von mindestens");
    need.emplace_back("197 × 70"_cp);
    need.emplace_back("Zeichen.");
    // Paragraph by paragraph, in the order shown; the empty one is a gap. Line by line: clang
    // 14 crashes on this vector given as one braced list.
    std::vector<std::vector<std::string>> paragraphs;
    paragraphs.push_back(wrapped(need, width));
    paragraphs.push_back(wrapped({"Jetzt:", size}, width));
    paragraphs.push_back({""});
    paragraphs.push_back(wrapped(
        words("Bitte vergrößern Sie das Fenster oder verkleinern Sie die Schrift."_cp), width));
    if (escapeEnds) {
        paragraphs.push_back(wrapped(words("Esc beendet das Programm."), width));
    }
    std::size_t rows = 0;
    for (const std::vector<std::string>& paragraph : paragraphs) {
        rows += paragraph.size();
    }
    std::vector<bool> shown(paragraphs.size(), rows <= height);
    if (rows > height) {
        // Too few lines for all of it: the size comes first, as far as it goes, then whichever
        // whole paragraphs still fit, the gap last.
        paragraphs[1].resize(std::min(paragraphs[1].size(), height));
        std::size_t left = height;
        for (const std::size_t paragraph : {1, 0, 3, 4, 2}) {
            if (paragraph < paragraphs.size() && paragraphs[paragraph].size() <= left) {
                shown[paragraph] = true;
                left -= paragraphs[paragraph].size();
            }
        }
    }
    std::vector<std::string> notice;
    for (std::size_t paragraph = 0; paragraph < paragraphs.size(); ++paragraph) {
        if (shown[paragraph]) {
            notice.insert(notice.end(), paragraphs[paragraph].begin(), paragraphs[paragraph].end());
        }
    }
    return notice;
}
