// The script checker.
//
// Every piece the runner would execute is trimmed, tested for a comment and
// split exactly as the runner and the executor do it (TrimLine, CharInSet,
// SplitLine, ClassifyLine, FindCommand); the block structure follows from the
// classification: every if line with four tokens opens a block, every endif
// alone closes one. What the tokenizer cannot tell (where quotes stand, how
// long the line really was) comes from the physical line.
#include "check/script_check.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "check/script_lines.h"
#include "check/text_encoding.h"
#include "engine/command_table.h"
#include "engine/executor.h"
#include "engine/tokenizer.h"

const char* SeverityText(Severity severity)
{
    return severity == Severity::Error ? "Fehler" : "Warnung";
}

namespace {

constexpr int PieceLength = LineSize - 1;  // characters the runner reads at a time
constexpr int DeepestLevel = MaxLevels - 1;

std::string Quote(const std::string& text)
{
    return "'" + text + "'";
}

std::string Number(long value)
{
    return std::to_string(value);
}

// A byte as an administrator can recognise it in a message.
std::string ShowByte(unsigned char c)
{
    if (c <= 0x20 || c == 0x7F) {
        char text[16];
        std::snprintf(text, sizeof text, "Byte 0x%02X", c);
        return text;
    }
    return Quote(std::string(1, static_cast<char>(c)));
}

bool IsTokenChar(unsigned char c)
{
    return CharInSetFolded(TokenChars, c);
}

// The words the tokenizer makes of `text`, as a list for a message.
std::string TokensOf(const std::string& text, int& count)
{
    char slot[FieldSize];
    std::string list;
    count = 0;
    for (const char* position = text.c_str(); position;) {
        position = NextToken(position, slot, TokenLimit);
        if (!slot[0])
            continue;
        list += (count++ ? " " : "") + Quote(slot);
    }
    return list;
}

std::string Trimmed(std::string text)
{
    TrimLine(&text[0]);
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool IsCommentPiece(const std::string& piece, std::string& trimmed)
{
    char line[LineSize];
    CopyBounded(line, piece.c_str(), sizeof line);
    TrimLine(line);
    trimmed = line;
    return CharInSet(";#", static_cast<unsigned char>(line[0]));
}

class Checker {
public:
    explicit Checker(const ScriptText& script)
        : script(script), context(std::make_unique<SessionContext>()), probe(std::make_unique<SessionContext>())
    {
    }

    std::vector<Finding> run()
    {
        checkEncoding();
        for (const ScriptLine& line : script.lines)
            checkLine(line);
        checkOpenBlocks();
        if (script.textAfterCtrlZ)
            add(script.ctrlZLine, Severity::Warning, FindingKind::TextAfterCtrlZ,
                "Strg-Z (Byte 0x1A) beendet das Script hier: der Text danach wird nicht gelesen");
        SortByLine();
        return findings;
    }

private:
    void add(int line, Severity severity, FindingKind kind, const std::string& text)
    {
        findings.push_back({line, severity, kind, text});
    }

    void SortByLine()
    {
        std::stable_sort(findings.begin(), findings.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
    }

    // --- The file as a whole ---------------------------------------------

    void checkEncoding()
    {
        const std::string& bytes = script.bytes;
        size_t start = 0;
        if (bytes.compare(0, 3, "\xef\xbb\xbf") == 0) {
            add(1, Severity::Warning, FindingKind::Utf8Text,
                "Die Datei beginnt mit einer UTF-8-Kennung (BOM); TallMoor liest Windows-1252, und ein "
                "Kommentar in der ersten Zeile gilt dann nicht als Kommentar. Als ANSI (Windows-1252) speichern");
            start = 3;
        }
        size_t firstSequence = std::string::npos;
        int strayBytes = 0;
        for (size_t i = start; i < bytes.size(); i++) {
            if (static_cast<unsigned char>(bytes[i]) < 0x80)
                continue;
            unsigned code;
            int length = Utf8SequenceAt(bytes, i, code);
            if (length == 0) {
                strayBytes++;
                continue;
            }
            if (firstSequence == std::string::npos)
                firstSequence = i;
            i += length - 1;
        }
        if (firstSequence == std::string::npos || strayBytes > 0)
            return;
        unsigned code;
        int length = Utf8SequenceAt(bytes, firstSequence, code);
        std::string text = "Die Datei sieht nach UTF-8 aus: " + Quote(bytes.substr(firstSequence, length));
        if (code >= 0xA0 && code <= 0xFF)
            text += " steht f\xfcr " + Quote(std::string(1, static_cast<char>(code))) + ",";
        text += " aber TallMoor liest Windows-1252 und sieht " + Number(length) +
                " Zeichen, die Worte trennen und im Bericht falsch erscheinen. Als ANSI (Windows-1252) speichern";
        int line = 1;
        for (size_t i = 0; i < firstSequence; i++)
            line += bytes[i] == '\n';
        add(line, Severity::Error, FindingKind::Utf8Text, text);
    }

    // --- One physical line -------------------------------------------------

    void checkLine(const ScriptLine& line)
    {
        std::string trimmed;
        const bool comment = !line.pieces.empty() && IsCommentPiece(line.pieces[0], trimmed);
        if (!comment)
            checkRawText(line);
        checkLength(line, comment);
        for (size_t i = 0; i < line.pieces.size(); i++) {
            if (IsCommentPiece(line.pieces[i], trimmed))
                continue;
            checkPiece(line.number, i, trimmed);
        }
    }

    void checkLength(const ScriptLine& line, bool comment)
    {
        if (line.text.size() <= static_cast<size_t>(PieceLength))
            return;
        bool restRuns = false;
        std::string trimmed;
        for (size_t i = 1; i < line.pieces.size(); i++)
            if (!IsCommentPiece(line.pieces[i], trimmed) && !trimmed.empty())
                restRuns = true;
        std::string text = "Die Zeile hat " + Number(static_cast<long>(line.text.size())) +
                           " Zeichen; gelesen werden h\xf6" "chstens 259 am St\xfc" "ck";
        if (restRuns)
            text += ", ab Zeichen 260 l\xe4uft der Rest als eigene Zeile" +
                    std::string(comment ? ", auch hinter einem Kommentar" : "") +
                    ". K\xfcrzer schreiben oder auf mehrere Zeilen verteilen";
        else
            text += "; der Rest besteht nur aus Leerraum oder Kommentar";
        add(line.number, restRuns ? Severity::Error : Severity::Warning, FindingKind::LongLine, text);
    }

    // Quotes, words cut by separators and zero bytes, as the physical line
    // shows them.
    void checkRawText(const ScriptLine& line)
    {
        std::string text = line.text;
        if (line.number == 1 && text.compare(0, 3, "\xef\xbb\xbf") == 0)
            text.erase(0, 3);  // reported with the encoding
        const size_t end = text.find('\0');
        if (end != std::string::npos) {
            add(line.number, Severity::Warning, FindingKind::NulByte,
                "Null-Byte in Spalte " + Number(static_cast<long>(end + 1)) +
                    ": der Rest der Zeile wird nicht gelesen");
            text.resize(end);
        }
        size_t i = 0;
        while (i < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '"') {
                i = checkQuoted(line.number, text, i);
            } else if (IsBlank(c)) {
                i++;
            } else {
                size_t j = i;
                while (j < text.size() && !IsBlank(static_cast<unsigned char>(text[j])) && text[j] != '"')
                    j++;
                checkWord(line.number, text.substr(i, j - i));
                i = j;
            }
        }
    }

    // Checks the quoted text opening at `open`; answers the position after it.
    size_t checkQuoted(int line, const std::string& text, size_t open)
    {
        const size_t close = text.find('"', open + 1);
        const size_t length = (close == std::string::npos ? text.size() : close) - open - 1;
        const std::string column = Number(static_cast<long>(open + 1));
        if (close == std::string::npos)
            add(line, Severity::Warning, FindingKind::UnclosedQuote,
                "Das Anf\xfchrungszeichen in Spalte " + column +
                    " wird nicht geschlossen: der Text reicht bis zum Zeilenende");
        if (length > static_cast<size_t>(TokenLimit))
            add(line, Severity::Error, FindingKind::LongQuote,
                "Der Text in Anf\xfchrungszeichen ab Spalte " + column + " hat " + Number(static_cast<long>(length)) +
                    " Zeichen; nach 260 wird er abgeschnitten, und der Rest wird als eigene Worte gelesen");
        return close == std::string::npos ? text.size() : close + 1;
    }

    // A run of characters without blanks or quotes that holds separators
    // beside token characters: the administrator meant one word, the
    // tokenizer cuts or shortens it.
    void checkWord(int line, const std::string& word)
    {
        std::string separators;
        bool tokenChar = false;
        for (unsigned char c : word) {
            if (IsTokenChar(c))
                tokenChar = true;
            else if (separators.find(static_cast<char>(c)) == std::string::npos)
                separators += static_cast<char>(c);
        }
        if (!tokenChar || separators.empty())
            return;
        std::string shown;
        for (unsigned char c : separators)
            shown += (shown.empty() ? "" : ", ") + ShowByte(c);
        int count;
        const std::string tokens = TokensOf(word, count);
        std::string text = count > 1 ? Quote(word) + " wird an " + shown + " in " + Number(count) +
                                           " Worte geteilt: " + tokens
                                     : "In " + Quote(word) + " f\xe4llt " + shown + " weg, es bleibt " + tokens;
        text += "; in Anf\xfchrungszeichen schreiben: \"" + word + "\"";
        add(line, Severity::Warning, FindingKind::SeparatorInWord, text);
    }

    // --- One piece, as the executor sees it -------------------------------

    void checkPiece(int line, size_t index, const std::string& text)
    {
        SplitLine(*context, text.c_str());
        const LineKind kind = ClassifyLine(*context);
        if (kind == LineKind::Empty)
            return;
        const std::string where = index > 0 ? "Rest der langen Zeile ab Zeichen " +
                                                  Number(static_cast<long>(index * PieceLength + 1)) + ": "
                                            : "";
        if (exitLine && !unreachableReported) {
            add(line, Severity::Warning, FindingKind::Unreachable,
                where + "Wird nie ausgef\xfchrt: '" + exitWord + "' in Zeile " + Number(exitLine) +
                    " beendet das Script vorher");
            unreachableReported = true;
        }
        switch (kind) {
        case LineKind::Empty:
            break;
        case LineKind::Dropped:
            add(line, Severity::Error, FindingKind::DroppedLine,
                where + "4 Tokens ohne 'if' am Anfang: die Zeile wird ohne Meldung \xfc" "bergangen. Tokens: " +
                    tokenList() + countHint());
            break;
        case LineKind::Unknown:
            checkUnknown(line, where, text);
            break;
        case LineKind::Condition:
            checkCondition(line, where);
            break;
        case LineKind::EndBlock:
            checkEndBlock(line, where);
            break;
        case LineKind::Builtin:
            if (depth == 0 && (TokenIs(*context, 0, "exit") || TokenIs(*context, 0, "quit")) && !exitLine) {
                exitLine = line;
                exitWord = context->tokens[0];
            }
            break;
        case LineKind::Worker:
            checkDriveToken(line, where);
            break;
        }
    }

    std::string tokenList() const
    {
        std::string list;
        for (int i = 0; i < context->tokenCount; i++)
            list += (i ? " " : "") + Quote(context->tokens[i]);
        return list;
    }

    // The token counts with which the line's keyword is a command, asked of
    // the executor's own classification.
    std::vector<int> commandCounts()
    {
        std::vector<int> counts;
        for (int count = 1; count < MaxTokens; count++) {
            CopyBounded(probe->tokens[0], context->tokens[0], FieldSize);
            for (int i = 1; i < count; i++)
                std::strcpy(probe->tokens[i], "x");
            probe->tokens[count][0] = 0;
            probe->tokenCount = count;
            const LineKind kind = ClassifyLine(*probe);
            if (kind != LineKind::Unknown && kind != LineKind::Dropped && kind != LineKind::Empty)
                counts.push_back(count);
        }
        return counts;
    }

    // What the keyword would need, and what a wrong count of if or endif
    // does to the blocks.
    std::string countHint()
    {
        std::string hint;
        const std::vector<int> counts = commandCounts();
        for (size_t i = 0; i < counts.size(); i++)
            hint += (i ? " oder " : ". " + Quote(context->tokens[0]) + " braucht ") + Number(counts[i]);
        if (!counts.empty())
            hint += counts.size() == 1 && counts[0] == 1 ? " Token" : " Tokens";
        if (TokenIs(*context, 0, "write") || TokenIs(*context, 0, "echo") || TokenIs(*context, 0, "print"))
            hint += "; den Text in Anf\xfchrungszeichen setzen";
        if (TokenIs(*context, 0, "if"))
            hint += ". Die Zeile \xf6" "ffnet keinen Block: die Zeilen bis zum 'endif' laufen f\xfcr alle, "
                    "und das 'endif' schlie\xdft den umgebenden Block";
        if (TokenIs(*context, 0, "endif"))
            hint += ". Die Zeile schlie\xdft keinen Block";
        return hint;
    }

    void checkUnknown(int line, const std::string& where, const std::string& text)
    {
        if (TokenIs(*context, 0, "if") && checkIfForm(line, where, text))
            return;
        std::string message = where + "Unbekanntes " + Number(context->tokenCount) +
                              "-er Kommando: die Zeile ergibt " + Number(context->tokenCount) + " Token" +
                              (context->tokenCount == 1 ? "" : "s") + " " + tokenList() + countHint();
        if (context->tokenCount == MaxTokens && depth > 0)
            message += ". In einem Block, der nicht ausgef\xfchrt wird, f\xe4llt sie ohne Meldung weg";
        add(line, Severity::Error, FindingKind::UnknownCommand, message);
    }

    // The two if lines that look right and are no condition: "if user=hans"
    // (the operator joined to its neighbours) and "if user <> hans".
    bool checkIfForm(int line, const std::string& where, const std::string& text)
    {
        const std::string noBlock = ". Die Zeile \xf6" "ffnet keinen Block: die Zeilen bis zum 'endif' laufen f\xfcr "
                                    "alle, und das 'endif' schlie\xdft den umgebenden Block";
        if (text.find_first_of("<>") != std::string::npos) {
            add(line, Severity::Error, FindingKind::IfComparison,
                where + "'<' und '>' sind keine Operatoren und fallen weg; die Zeile ergibt " +
                    Number(context->tokenCount) + " Tokens " + tokenList() +
                    ". F\xfcr ungleich '!' schreiben, f\xfcr gleich '=', mit Leerzeichen davor und danach" + noBlock);
            return true;
        }
        std::string rest;
        for (int i = 1; i < context->tokenCount; i++)
            rest += (i > 1 ? " " : "") + std::string(context->tokens[i]);
        const size_t op = rest.find_first_of("=!");
        if (context->tokenCount > 3 || op == std::string::npos)
            return false;
        const size_t opEnd = rest.find_first_not_of("=!", op);
        const std::string subject = Trimmed(rest.substr(0, op));
        const std::string value = opEnd == std::string::npos ? "" : Trimmed(rest.substr(opEnd));
        add(line, Severity::Error, FindingKind::IfJoined,
            where + "Der Operator steht nicht frei: die Zeile ergibt " + Number(context->tokenCount) + " Tokens " +
                tokenList() + ". Schreiben: 'if " + subject + " " + rest.substr(op, opEnd - op) + " " + value +
                "'" + noBlock);
        return true;
    }

    void checkCondition(int line, const std::string& where)
    {
        depth++;
        openIfs.push_back(line);
        if (depth == DeepestLevel + 1)
            add(line, Severity::Error, FindingKind::NestingTooDeep,
                where + "Mehr als 29 'if'-Bl\xf6" "cke sind offen: dieser Block und alles darin wird nie ausgef\xfchrt");
        if (!IsConditionSubject(context->tokens[1]))
            add(line, Severity::Error, FindingKind::IfSubject,
                where + "Unbekannte Bedingung " + Quote(context->tokens[1]) +
                    ": der Block bis zum 'endif' wird ohne Meldung nie ausgef\xfchrt. Bekannt sind user, "
                    "computername, macaddress und filepresence");
        else if (!IsConditionOperator(context->tokens[2]))
            add(line, Severity::Error, FindingKind::IfOperator,
                where + "Der Operator " + Quote(context->tokens[2]) +
                    " beginnt weder mit '=' noch mit '!': der Block bis zum 'endif' wird ohne Meldung nie "
                    "ausgef\xfchrt");
    }

    void checkEndBlock(int line, const std::string& where)
    {
        if (depth == 0) {
            add(line, Severity::Error, FindingKind::TooManyEndif,
                where + "'endif' ohne offenes 'if': der Bericht meldet \"Zu viele 'endif'\"");
            return;
        }
        depth--;
        openIfs.pop_back();
    }

    void checkOpenBlocks()
    {
        for (int line : openIfs)
            add(line, Severity::Error, FindingKind::UnclosedIf,
                "'if' ohne 'endif': der Block reicht bis zum Ende des Scripts, und der Bericht endet mit \"" +
                    Number(static_cast<long>(openIfs.size())) + "-mal zu viel 'if'\"");
    }

    // drive and killdrive use only the first character of the drive token
    // (killdrive also insists on the colon after it).
    void checkDriveToken(int line, const std::string& where)
    {
        const bool drive = context->tokenCount == 3 && TokenIs(*context, 0, "drive");
        const bool killdrive = context->tokenCount == 2 && TokenIs(*context, 0, "killdrive");
        if (!drive && !killdrive)
            return;
        const char* token = context->tokens[1];
        const unsigned char letter = static_cast<unsigned char>(FoldCase(static_cast<unsigned char>(token[0])));
        const bool isLetter = letter >= 'a' && letter <= 'z';
        if (isLetter && token[1] == ':' && token[2] == 0)
            return;
        const std::string shown = Quote(token);
        if (!isLetter)
            add(line, Severity::Error, FindingKind::DriveToken,
                where + shown + " ist kein Laufwerk; erwartet wird ein Buchstabe mit Doppelpunkt, z. B. 'h:'");
        else if (killdrive && token[1] != ':')
            add(line, Severity::Error, FindingKind::DriveToken,
                where + shown + " ist kein Laufwerk: killdrive meldet \"Fehler\" und trennt nichts. Schreiben: '" +
                    std::string(1, token[0]) + ":'");
        else
            add(line, Severity::Warning, FindingKind::DriveToken,
                where + shown + " ist kein Laufwerk; benutzt wird nur '" + std::string(1, token[0]) +
                    ":'. Schreiben: '" + std::string(1, token[0]) + ":'");
    }

    const ScriptText& script;
    std::unique_ptr<SessionContext> context;  // the tokens of the piece being checked
    std::unique_ptr<SessionContext> probe;    // for asking the classification about a keyword
    std::vector<Finding> findings;
    int depth = 0;
    std::vector<int> openIfs;  // line of every open if, innermost last
    int exitLine = 0;          // the first exit or quit outside every block
    std::string exitWord;
    bool unreachableReported = false;
};

}  // namespace

std::vector<Finding> CheckScript(const char* path)
{
    const ScriptText script = ReadScriptText(path);
    if (!script.readable)
        return {{0, Severity::Error, FindingKind::Unreadable, "Die Datei kann nicht gelesen werden"}};
    return Checker(script).run();
}
