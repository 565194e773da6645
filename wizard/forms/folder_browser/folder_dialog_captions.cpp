#include "wizard/forms/folder_browser/folder_dialog_captions.h"

#include <array>
#include <cstdint>
#include <optional>

namespace {

struct DefaultCaption {
    const char* key;
    const char* newFolder;
    const char* title;
};

constexpr std::array<DefaultCaption, 29> kDefaultCaptions{{
    {"Default", "New folder", "Current folder:"},
    {"0009", "New folder", "Current folder:"},
    {"0406", "Ny mappe", "Valgt mappe:"},
    {"0407", "Neuer Ordner", "Ausgewählter Ordner:"},
    {"0409", "New folder", "Current folder:"},
    {"040C", "Nouveau Dossier", "Dossier Courant:"},
    {"0410", "Nuova Cartella", "Cartella selezionata:"},
    {"0413", "Nieuwe map", "Huidige map:"},
    {"0415", "Nowy folder", "Bieżący folder"},
    {"0416", "Nova Pasta", "Pasta Atual:"},
    {"0807", "Neuer Ordner", "Ausgewählter Ordner:"},
    {"0809", "New folder", "Current folder:"},
    {"080C", "Nouveau Dossier", "Dossier Courant:"},
    {"0810", "Nuova Cartella", "Cartella selezionata:"},
    {"0C07", "Neuer Ordner", "Ausgewählter Ordner:"},
    {"0C09", "New folder", "Current folder:"},
    {"0C0C", "Nouveau Dossier", "Dossier Courant:"},
    {"1007", "Neuer Ordner", "Ausgewählter Ordner:"},
    {"1009", "New folder", "Current folder:"},
    {"100C", "Nouveau Dossier", "Dossier Courant:"},
    {"1407", "Neuer Ordner", "Ausgewählter Ordner:"},
    {"1409", "New folder", "Current folder:"},
    {"140C", "Nouveau Dossier", "Dossier Courant:"},
    {"1809", "New folder", "Current folder:"},
    {"180C", "Nouveau Dossier", "Dossier Courant:"},
    {"1C09", "New folder", "Current folder:"},
    {"2009", "New folder", "Current folder:"},
    {"2809", "New folder", "Current folder:"},
    {"2C09", "New folder", "Current folder:"},
}};

// Primary language ids; each language's default region is sub-language 1.
struct LanguageId {
    QLocale::Language language;
    std::uint16_t primary;
};

constexpr std::array<LanguageId, 36> kLanguageIds{{
    {QLocale::Arabic, 0x01},     {QLocale::Bulgarian, 0x02},  {QLocale::Catalan, 0x03},
    {QLocale::Chinese, 0x04},    {QLocale::Czech, 0x05},      {QLocale::Danish, 0x06},
    {QLocale::German, 0x07},     {QLocale::Greek, 0x08},      {QLocale::English, 0x09},
    {QLocale::Spanish, 0x0A},    {QLocale::Finnish, 0x0B},    {QLocale::French, 0x0C},
    {QLocale::Hebrew, 0x0D},     {QLocale::Hungarian, 0x0E},  {QLocale::Icelandic, 0x0F},
    {QLocale::Italian, 0x10},    {QLocale::Japanese, 0x11},   {QLocale::Korean, 0x12},
    {QLocale::Dutch, 0x13},      {QLocale::NorwegianBokmal, 0x14}, {QLocale::Polish, 0x15},
    {QLocale::Portuguese, 0x16}, {QLocale::Romanian, 0x18},   {QLocale::Russian, 0x19},
    {QLocale::Croatian, 0x1A},   {QLocale::Slovak, 0x1B},     {QLocale::Albanian, 0x1C},
    {QLocale::Swedish, 0x1D},    {QLocale::Thai, 0x1E},       {QLocale::Turkish, 0x1F},
    {QLocale::Ukrainian, 0x22},  {QLocale::Slovenian, 0x24},  {QLocale::Estonian, 0x25},
    {QLocale::Latvian, 0x26},    {QLocale::Lithuanian, 0x27}, {QLocale::Vietnamese, 0x2A},
}};

// Regions whose sub-language is not the language's first.
struct RegionId {
    QLocale::Language language;
    QLocale::Territory territory;
    std::uint16_t sublanguage;
};

constexpr std::array<RegionId, 23> kRegionIds{{
    {QLocale::German, QLocale::Switzerland, 2},       {QLocale::German, QLocale::Austria, 3},
    {QLocale::German, QLocale::Luxembourg, 4},        {QLocale::German, QLocale::Liechtenstein, 5},
    {QLocale::English, QLocale::UnitedKingdom, 2},    {QLocale::English, QLocale::Australia, 3},
    {QLocale::English, QLocale::Canada, 4},           {QLocale::English, QLocale::NewZealand, 5},
    {QLocale::English, QLocale::Ireland, 6},          {QLocale::English, QLocale::SouthAfrica, 7},
    {QLocale::English, QLocale::Jamaica, 8},          {QLocale::English, QLocale::Belize, 10},
    {QLocale::English, QLocale::TrinidadAndTobago, 11}, {QLocale::French, QLocale::Belgium, 2},
    {QLocale::French, QLocale::Canada, 3},            {QLocale::French, QLocale::Switzerland, 4},
    {QLocale::French, QLocale::Luxembourg, 5},        {QLocale::French, QLocale::Monaco, 6},
    {QLocale::Italian, QLocale::Switzerland, 2},      {QLocale::Dutch, QLocale::Belgium, 2},
    {QLocale::Portuguese, QLocale::Portugal, 2},      {QLocale::Chinese, QLocale::China, 2},
    {QLocale::Spanish, QLocale::Spain, 3},
}};

QStringList CaptionColumn(const char* DefaultCaption::*text) {
    QStringList list;
    for (const DefaultCaption& caption : kDefaultCaptions) {
        list.append(QString::fromLatin1(caption.key) + u'=' + QString::fromUtf8(caption.*text));
    }
    return list;
}

}  // namespace

QStringList DefaultNewFolderCaptions() { return CaptionColumn(&DefaultCaption::newFolder); }

QStringList DefaultLabelCaptions() { return CaptionColumn(&DefaultCaption::title); }

QString PickCaption(const QStringList& captions, const QString& languageKey) {
    if (captions.isEmpty()) return {};
    const auto valueOf = [&](const QString& key) -> std::optional<QString> {
        for (const QString& entry : captions) {
            const qsizetype equals = entry.indexOf(u'=');
            const QString entryKey = equals < 0 ? entry : entry.left(equals);
            if (entryKey.compare(key, Qt::CaseInsensitive) == 0) return equals < 0 ? QString() : entry.mid(equals + 1);
        }
        return std::nullopt;
    };
    if (const auto value = valueOf(languageKey)) return *value;
    if (const auto value = valueOf(QStringLiteral("Default"))) return *value;
    const QString& first = captions.front();
    const qsizetype equals = first.indexOf(u'=');
    return equals < 0 ? QString() : first.mid(equals + 1);
}

QString LanguageKeyOf(const QLocale& locale) {
    std::uint16_t primary = 0;
    for (const LanguageId& id : kLanguageIds) {
        if (id.language == locale.language()) primary = id.primary;
    }
    std::uint16_t sublanguage = primary ? 1 : 0;
    for (const RegionId& region : kRegionIds) {
        if (region.language == locale.language() && region.territory == locale.territory()) {
            sublanguage = region.sublanguage;
        }
    }
    const unsigned id = (unsigned{sublanguage} << 10) | primary;
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')).toUpper();
}
