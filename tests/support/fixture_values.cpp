#include "tests/support/fixture_values.hpp"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <stdexcept>

namespace kelvara::test {
namespace {

// "12.5" at scale 4 -> "12.5000"; exact, by digits.
std::string atScale(const std::string& literal, int scale) {
    std::string sign, whole = literal, fraction;
    if (!whole.empty() && whole.front() == '-') {
        sign = "-";
        whole.erase(0, 1);
    }
    if (auto dot = whole.find('.'); dot != std::string::npos) {
        fraction = whole.substr(dot + 1);
        whole.erase(dot);
    }
    fraction.resize(static_cast<std::size_t>(scale), '0');
    return sign + whole + (scale > 0 ? "." + fraction : "");
}

template <class T> std::string shortest(T value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string expectedForm(const FixtureColumn& column, const std::string& v) {
    const std::string& t = column.type;
    if (t == "FLOAT")
        return shortest(std::strtof(v.c_str(), nullptr));
    if (t == "DOUBLE")
        return shortest(std::strtod(v.c_str(), nullptr));
    if (t == "MONEY")
        return atScale(v, 4);
    if (t == "NUMERIC")
        return atScale(v, column.scale);
    if (t == "GUID") {
        std::string g = v;
        if (!g.empty() && g.front() == '{')
            g = g.substr(1, g.size() - 2);
        return upper(g);
    }
    return v; // integers, text, memo, dates and hex are written alike
}

std::vector<FixtureTable> loadFixtureTables() {
    QFile file(QStringLiteral(KELVARA_FIXTURES_DIR "/fixtures.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read fixtures.json");
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    std::vector<FixtureTable> tables;
    for (const QJsonValue& t : root["tables"].toArray()) {
        FixtureTable table;
        table.name = t["name"].toString().toStdString();
        for (const QJsonValue& c : t["columns"].toArray())
            table.columns.push_back({c["name"].toString().toStdString(),
                                     c["type"].toString().toStdString(), c["length"].toInt(),
                                     c["precision"].toInt(), c["scale"].toInt()});
        for (const QJsonValue& r : t["rows"].toArray()) {
            std::vector<std::optional<std::string>> row;
            const QJsonArray cells = r.toArray();
            for (qsizetype i = 0; i < cells.size(); ++i) {
                const QJsonValue cell = cells[i];
                const FixtureColumn& column = table.columns[static_cast<std::size_t>(i)];
                if (cell.isNull())
                    row.emplace_back(std::nullopt);
                else if (cell.isBool())
                    row.emplace_back(cell.toBool() ? "1" : "0");
                else
                    row.emplace_back(expectedForm(column, cell.toString().toStdString()));
            }
            table.rows.push_back(std::move(row));
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

} // namespace kelvara::test
