// Reading the command line of vindolar-sheets.
#include "sheets/sheet_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <set>
#include <string_view>

#include "text/utf8_text.h"
#include "sheets/pgn_writer.h"

namespace sheets {
namespace {

enum class Option {
    Settings,
    Count,
    Seed,
    PerPage,
    Title,
    Pdf,
    Key,
    Pgn,
    Epd,
    NameLine,
    Moves,
    Style,
    Partial,
    Order,
    Difficulty
};

struct OptionName {
    std::string_view Name;
    Option Which;
    bool TakesValue;
};
constexpr OptionName OptionNames[] = {
    {"--settings", Option::Settings, true},
    {"--count", Option::Count, true},
    {"--seed", Option::Seed, true},
    {"--per-page", Option::PerPage, true},
    {"--title", Option::Title, true},
    {"--pdf", Option::Pdf, true},
    {"--key", Option::Key, true},
    {"--pgn", Option::Pgn, true},
    {"--epd", Option::Epd, true},
    {"--name-line", Option::NameLine, false},
    {"--moves", Option::Moves, true},
    {"--order", Option::Order, true},
    {"--difficulty", Option::Difficulty, true},
    {"--style", Option::Style, true},
    {"--partial", Option::Partial, false},
};

// An argument as a message shows it: quoted, on one line.
std::string Quoted(std::string_view text) { return "«" + text::ShownInLine(text) + "»"; }

// A whole decimal number without sign or blanks; none when the text is not
// one or does not fit.
std::optional<std::uint64_t> DecimalNumber(const std::string& text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return static_cast<std::uint64_t>(value);
}

// The characters (code points) of valid UTF-8 text: every byte but the
// continuation bytes starts one.
int CharacterCount(const std::string& text) {
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// A title goes into PGN tags and onto the pages: it must be UTF-8, hold no
// control characters, C0 or C1 (a line break would end the PGN tag, and
// U+009B starts a terminal's command wherever the PGN is shown), fit the
// pages' two heading lines and, escaped, one PGN string.
std::string TitleComplaint(const std::string& title) {
    if (text::DecodedUtf8(title) != title) return "--title: текст не в кодировке UTF-8";
    if (text::HasControlCharacter(title)) {
        return "--title: в тексте управляющие символы (например, перевод строки)";
    }
    const int characters = CharacterCount(title);
    if (characters > MostTitleCharacters) {
        return "--title: заголовок длиннее " + std::to_string(MostTitleCharacters) + " знаков (в нём " +
               std::to_string(characters) + "); сократите его";
    }
    const std::size_t bytes = PgnTagValue(title).size();
    if (bytes > MostPgnStringBytes) {
        return "--title: заголовок не помещается в тег PGN: " + std::to_string(bytes) +
               " байт в UTF-8, можно не больше " + std::to_string(MostPgnStringBytes) + "; сократите его";
    }
    return "";
}

// "LOW-HIGH": two whole numbers up to MostDifficulty, the first not above the second.
std::optional<DifficultyRange> ReadRange(const std::string& text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) return std::nullopt;
    const auto lowest = DecimalNumber(text.substr(0, dash));
    const auto highest = DecimalNumber(text.substr(dash + 1));
    if (!lowest || !highest || *lowest > *highest || *highest > static_cast<std::uint64_t>(MostDifficulty)) {
        return std::nullopt;
    }
    return DifficultyRange{static_cast<int>(*lowest), static_cast<int>(*highest)};
}

std::string OutputComplaint(std::string_view option, const std::string& path) {
    if (path.empty()) return std::string(option) + ": пустое имя файла";
    return "";
}

}  // namespace

std::string MovesPhrase(int moves) {
    // One of 1, 21, 31 ...: "ход"; two to four of them: "хода"; else "ходов".
    const int lastDigit = moves % 10;
    const int lastTwo = moves % 100;
    const bool teen = lastTwo >= 11 && lastTwo <= 14;
    const char* word = !teen && lastDigit == 1 ? "ход" : !teen && lastDigit >= 2 && lastDigit <= 4 ? "хода" : "ходов";
    return std::to_string(moves) + " " + word;
}

std::string DefaultTitle(int moves) { return "Мат в " + MovesPhrase(moves); }

namespace {

// Takes one option's value into `options`.
std::string TakeValue(Option which, std::string_view name, const std::string& value, SheetOptions& options) {
    switch (which) {
        case Option::Settings:
            if (value.empty()) return "--settings: пустое имя файла";
            options.SettingsPath = value;
            return "";
        case Option::Count: {
            const auto number = DecimalNumber(value);
            if (!number || *number < FewestProblems || *number > MostProblems) {
                return "--count: нужно целое число от 1 до 1000, а не " + Quoted(value);
            }
            options.Count = static_cast<int>(*number);
            return "";
        }
        case Option::Seed: {
            const auto number = DecimalNumber(value);
            if (!number) return "--seed: нужно целое число от 0 до 18446744073709551615, а не " + Quoted(value);
            options.Seed = *number;
            return "";
        }
        case Option::PerPage: {
            const auto number = DecimalNumber(value);
            if (!number ||
                std::find(std::begin(PerPageChoices), std::end(PerPageChoices), *number) == std::end(PerPageChoices)) {
                return "--per-page: нужно 4, 6, 9 или 12, а не " + Quoted(value);
            }
            options.PerPage = static_cast<int>(*number);
            return "";
        }
        case Option::Title: {
            // An empty title stands for the default one, set once --moves is known.
            const std::string complaint = TitleComplaint(value);
            if (complaint.empty()) options.Title = value;
            return complaint;
        }
        case Option::Style:
            if (value == SoundStyleName) {
                options.Style = problems::ProblemStyle::Sound;
            } else if (value == ComposedStyleName) {
                options.Style = problems::ProblemStyle::Composed;
            } else {
                return std::string("--style: нужно ") + SoundStyleName + " или " + ComposedStyleName + ", а не " +
                       Quoted(value);
            }
            return "";
        case Option::Partial: options.Partial = true; return "";
        case Option::Pdf:
        case Option::Key:
            if (value == StandardStream)
                return std::string(name) + ": PDF пишется только в файл, не на стандартный вывод";
            (which == Option::Pdf ? options.PdfPath : options.KeyPath) = value;
            return OutputComplaint(name, value);
        case Option::NameLine: options.NameLine = true; return "";
        case Option::Moves: {
            const auto number = DecimalNumber(value);
            if (!number || *number < 1 || *number > MostMoves) {
                return "--moves: нужно 1 (мат в 1 ход), 2 (мат в 2 хода) или 3 (мат в 3 хода), а не " + Quoted(value);
            }
            options.Moves = static_cast<int>(*number);
            return "";
        }
        case Option::Order:
            if (value != "easy-first")
                return "--order: бывает только easy-first (от лёгких к трудным), а не " + Quoted(value);
            options.EasyFirst = true;
            return "";
        case Option::Difficulty:
            options.Difficulty = ReadRange(value);
            if (!options.Difficulty) {
                return "--difficulty: нужен диапазон оценок НИЗ-ВЕРХ, например 800-1400 (числа от 0 до " +
                       std::to_string(MostDifficulty) + ", первое не больше второго), а не " + Quoted(value);
            }
            return "";
        case Option::Pgn: options.PgnPath = value; return OutputComplaint(name, value);
        case Option::Epd: options.EpdPath = value; return OutputComplaint(name, value);
    }
    return "";
}

}  // namespace

std::string UsageText() {
    return "Использование: vindolar-sheets [--settings ФАЙЛ] [--count N] [--seed S] [--per-page K] [--title ТЕКСТ]\n"
           "                       [--moves N] [--style СТИЛЬ] [--partial] [--name-line]\n"
           "                       [--order easy-first] [--difficulty НИЗ-ВЕРХ]\n"
           "                       [--pdf ФАЙЛ] [--key ФАЙЛ] [--pgn ФАЙЛ] [--epd ФАЙЛ]\n"
           "Листы задач «мат в 1 ход» из генератора тренажёра, «мат в 2 хода» или «мат в 3 хода»:\n"
           "PDF с ответами, PGN, EPD.\n"
           "  --settings ФАЙЛ  файл настроек (по умолчанию set_figure.txt)\n"
           "  --count N        число задач, от 1 до 1000 (по умолчанию 12)\n"
           "  --seed S         начальное число: те же настройки и S дают те же задачи;\n"
           "                   оно печатается на страницах PDF как «Вариант S»;\n"
           "                   без --seed программа берёт число от 1 до 99999 и пишет его\n"
           "  --per-page K     диаграмм на странице PDF: 4, 6, 9 или 12 (по умолчанию 6)\n"
           "  --title ТЕКСТ    заголовок листа, не длиннее 100 знаков; пустой или без --title:\n"
           "                   «Мат в 1 ход», с --moves 2 «Мат в 2 хода», с --moves 3 «Мат в 3 хода»\n"
           "  --moves N        1: мат в 1 ход (по умолчанию); 2 или 3: корректные задачи на мат в N ходов,\n"
           "                   проверенные полным перебором по всем правилам: один первый ход, мат не позже\n"
           "                   N-го хода против любой защиты, и нет мата быстрее\n"
           "  --style СТИЛЬ    с --moves 2 и 3: sound (по умолчанию) — любые корректные задачи;\n"
           "                   composed — составленные: тихий первый ход (без шаха и взятия, не отнимает\n"
           "                   полей у чёрного короля), нет дуалей ни после одной защиты, хотя бы две\n"
           "                   защиты с разными ответами, и ни одну фигуру, кроме королей, нельзя снять\n"
           "  --partial        если найдено меньше задач, чем просили, записать найденные\n"
           "                   (сколько — в сообщении) и выйти с кодом 0\n"
           "  --order easy-first  задачи от лёгких к трудным по оценке сложности\n"
           "  --difficulty НИЗ-ВЕРХ  только задачи с оценкой сложности от НИЗ до ВЕРХ (например, 800-1400);\n"
           "                   оценка по шкале рейтинга задач на lichess.org, она же стоит в ответах («≈1150»)\n"
           "  --name-line      строка «Фамилия, имя», «Класс», «Дата» на страницах с задачами\n"
           "  --pdf ФАЙЛ       лист задач в PDF, с ответами в конце, если нет --key\n"
           "  --key ФАЙЛ       ответы отдельным PDF\n"
           "  --pgn ФАЙЛ       задачи в PGN («-»: на стандартный вывод)\n"
           "  --epd ФАЙЛ       задачи в EPD («-»: на стандартный вывод)\n"
           "Нужен хотя бы один из --pdf, --key, --pgn, --epd.\n"
           "На каждую задачу отводится не больше 30000 случайных позиций (с --moves 2 и 3: 10000, с --style composed: "
           "400000).\n";
}

std::string ParseSheetOptions(int argc, const char* const* argv, SheetOptions& options) {
    std::set<Option> given;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "--help" || argument == "-h") {
            options.Help = true;
            return "";
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto known = std::find_if(std::begin(OptionNames), std::end(OptionNames),
                                        [&](const OptionName& option) { return option.Name == name; });
        if (known == std::end(OptionNames)) {
            if (argument.rfind("-", 0) == 0 && argument != StandardStream) {
                return "неизвестный параметр " + Quoted(argument) + " (см. --help)";
            }
            return "лишний аргумент " + Quoted(argument) + " (см. --help)";
        }
        if (!given.insert(known->Which).second) return "параметр " + name + " указан дважды";
        std::string value;
        if (!known->TakesValue) {
            if (equals != std::string::npos) return "у параметра " + name + " не бывает значения";
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (index + 1 < argc) {
            value = argv[++index];
        } else {
            return "у параметра " + name + " нет значения";
        }
        const std::string complaint = TakeValue(known->Which, name, value, options);
        if (!complaint.empty()) return complaint;
    }
    if (given.count(Option::Title) == 0 || options.Title.empty()) options.Title = DefaultTitle(options.Moves);
    if (options.Style == problems::ProblemStyle::Composed && options.Moves < 2) {
        return "--style composed: составленные задачи бывают только с --moves 2 или 3";
    }
    if (options.PdfPath.empty() && options.KeyPath.empty() && options.PgnPath.empty() && options.EpdPath.empty()) {
        return "укажите хотя бы один из параметров --pdf, --key, --pgn, --epd";
    }
    if (options.NameLine && options.PdfPath.empty()) return "--name-line: строка для имени бывает только в --pdf";
    if (options.PgnPath == StandardStream && options.EpdPath == StandardStream) {
        return "на стандартный вывод можно направить только одно из --pgn, --epd";
    }
    const std::pair<const char*, const std::string*> outputs[] = {{"--pdf", &options.PdfPath},
                                                                  {"--key", &options.KeyPath},
                                                                  {"--pgn", &options.PgnPath},
                                                                  {"--epd", &options.EpdPath}};
    for (std::size_t first = 0; first < std::size(outputs); ++first) {
        for (std::size_t second = first + 1; second < std::size(outputs); ++second) {
            const std::string& path = *outputs[first].second;
            if (!path.empty() && path != StandardStream && path == *outputs[second].second) {
                return std::string(outputs[first].first) + " и " + outputs[second].first + " называют один файл " +
                       Quoted(path);
            }
        }
    }
    return "";
}

}  // namespace sheets
