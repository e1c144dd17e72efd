#pragma once
// Prompts for tests: answers come from a queue, every question and message is
// logged, and a question nobody scripted fails the test.

#include "core/prompts.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace dotforge::test {

class ScriptedPrompts : public Prompts {
public:
    struct Event {
        std::string kind; // "warning", "confirmation", "error", "message", "ioerror", "beep",
                          // "open", "save", "font", "help", "about"
        std::string text;
        bool operator==(const Event &) const = default;
    };

    // Queue the answer to the next question (ask()).
    void answer(Answer a) { m_answers.push_back(a); }
    // Queue the result of the next file dialog (nullopt: cancelled).
    void fileChoice(std::optional<FileChoice> c) { m_files.push_back(std::move(c)); }
    void fontChoice(std::optional<FontChoice> c) { m_fonts.push_back(std::move(c)); }

    Answer ask(BoxKind kind, const std::string &text, Buttons buttons) override;
    void message(const std::string &text) override;
    void showError(const std::string &text) override;
    void beep() override;
    std::optional<FileChoice> openFile(const FileDialogSpec &spec) override;
    std::optional<FileChoice> saveFile(const FileDialogSpec &spec) override;
    std::optional<FontChoice> chooseFont(const std::string &face, int pointSize) override;
    void showHelp(const std::string &helpFile) override;
    void showAbout(const std::string &text) override;

    const std::vector<Event> &log() const { return m_log; }
    // Events of one kind, in order.
    std::vector<std::string> texts(const std::string &kind) const;
    int beeps() const;
    void clear() { m_log.clear(); }
    // The last dialog set-ups, for checking titles, filters and file names.
    const FileDialogSpec &lastOpenSpec() const { return m_lastOpen; }
    const FileDialogSpec &lastSaveSpec() const { return m_lastSave; }
    Buttons lastButtons() const { return m_lastButtons; }
    // Answers scripted but never asked for.
    bool allConsumed() const { return m_answers.empty() && m_files.empty() && m_fonts.empty(); }

private:
    std::deque<Answer> m_answers;
    std::deque<std::optional<FileChoice>> m_files;
    std::deque<std::optional<FontChoice>> m_fonts;
    std::vector<Event> m_log;
    FileDialogSpec m_lastOpen;
    FileDialogSpec m_lastSave;
    Buttons m_lastButtons = Buttons::Ok;
};

} // namespace dotforge::test
