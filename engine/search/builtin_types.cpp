#include "engine/search/builtin_types.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/search/information_storage.h"
#include "engine/search/signature.h"

namespace {

// Where the XIF signature expects "eXtended": right after the 8-byte TIFF header.
constexpr std::int32_t kXifExtendedOffset = 8;
// An icon file holds at least one image; more than 255 is not a real icon.
constexpr std::uint16_t kIconCountLow = 1;
constexpr std::uint16_t kIconCountHigh = 255;

BuiltinCondition u8(std::int32_t offset, std::initializer_list<std::uint8_t> bytes) {
    return {kConditionUint8, offset, bytes};
}
BuiltinCondition u16(std::int32_t offset, std::initializer_list<std::uint8_t> bytes) {
    return {kConditionUint16, offset, bytes};
}
BuiltinCondition u32(std::int32_t offset, std::initializer_list<std::uint8_t> bytes) {
    return {kConditionUint32, offset, bytes};
}
BuiltinCondition u64(std::int32_t offset, std::initializer_list<std::uint8_t> bytes) {
    return {kConditionUint64, offset, bytes};
}
BuiltinCondition bytes(std::int32_t offset, std::initializer_list<std::uint8_t> value) {
    return {kConditionBytes, offset, value};
}
// The text's characters without a terminating NUL.
BuiltinCondition text(std::int32_t offset, std::string_view value) {
    return {kConditionBytes, offset, std::vector<std::uint8_t>(value.begin(), value.end())};
}
// An ISO base media file: its first box, "ftyp", then the major brand.
BuiltinSignature fileTypeBox(std::string_view majorBrand) {
    std::string box = "ftyp";
    box += majorBrand;
    return {text(4, box)};
}
BuiltinCondition range16(std::int32_t offset, std::uint16_t low, std::uint16_t high) {
    return {kConditionRange16,
            offset,
            {static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(low >> 8),
             static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(high >> 8)}};
}

}  // namespace

// Columns: id, extension, further extensions, name, category code, category text,
// default size (KB), name prefix, description, signatures.
const std::vector<BuiltinType>& builtinFileTypes() {
    static const std::vector<BuiltinType> rows = {
        // 1
        {47, u"PDF", u"", u"", -144, u"Text Documents", 2048, u"adobe", u"Portable Document Format (Adobe Acrobat)",
         {{text(0, "%PDF-1.")}}},
        // 2
        {42, u"WPC", u"", u"", -144, u"Text Documents", 2048, u"document", u"WordPerfect Format",
         {{u32(0, {0xFF, 0x57, 0x50, 0x43})}}},
        // 3
        {46, u"WRI", u"", u"", -144, u"Text Documents", 2048, u"document", u"Microsoft Write",
         {{bytes(1, {0xBE, 0x00, 0x00, 0x00, 0xAB, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})}}},
        // 4
        {82, u"EPS", u"", u"", -144, u"Misc. Documents", 2048, u"adobe", u"Adobe Encapsulated PostScript",
         {{text(0, "%!PS-Adobe")}}},
        // 5
        {45, u"LIT", u"", u"", -144, u"Text Documents", 2048, u"document", u"Microsoft Reader Document (Windows CE)",
         {{text(0, "ITOLITLS")}}},
        // 6
        {41, u"RTF", u"", u"", -147, u"Text Documents", 2048, u"document", u"Rich Text Format",
         {{text(0, "{\\rtf")}}},
        // 7
        {60, u"DJVU", u"DJV", u"", -147, u"Text Documents", 20480, u"document", u"DjVu Text Format",
         {{text(0, "AT&TFORM")}}},
        // 8
        {51, u"XML", u"", u"", -147, u"Misc. Documents", 5120, u"xml", u"XML File",
         {{text(0, "<?xml ")}, {text(0, "<?XML ")}}},
        // 9
        {52, u"HTML", u"HTM", u"", -147, u"Misc. Documents", 1024, u"web_document", u"HTML Hypertext Web Document",
         {{text(0, "<HTML")}, {text(0, "<html")}, {text(0, "<!DOCTYPE HTML")}}},
        // 10
        {44, u"CHM", u"", u"", -144, u"Misc. Documents", 2048, u"help", u"HTML Help File",
         {{u64(0, {0x49, 0x54, 0x53, 0x46, 0x03, 0x00, 0x00, 0x00})}}},
        // 11
        {43, u"HLP", u"", u"", -144, u"Misc. Documents", 2048, u"help", u"Windows Help File",
         {{u32(0, {0x3F, 0x5F, 0x03, 0x00})}}},
        // 12
        {48, u"WKS", u"", u"", -144, u"Spreadsheet Documents", 2048, u"document", u"Lotus 1-2-3/Symphony Document",
         {{bytes(0, {0x00, 0x00, 0x02, 0x00, 0x04})}}},
        // 13
        {50, u"VCF", u"", u"", -147, u"Misc. Documents", 1024, u"vCard", u"Business Card (vCard)",
         {{text(0, "BEGIN:VCARD")}}},
        // 14
        {54, u"URL", u"", u"", -147, u"Misc. Documents", 1024, u"url", u"Internet shortcut file",
         {{text(0, "[InternetShortcut]")}}},
        // 15
        {200, u"WAV", u"", u"", -122, u"Audio", 51200, u"audio", u"Windows Audio",
         {{u32(0, {0x52, 0x49, 0x46, 0x46}), text(8, "WAVEfmt")}}},
        // 16
        {220, u"MID", u"MIDI,MIDI,KAR,RMI", u"", -122, u"Audio", 2048, u"audio", u"MIDI Audio (.MID, .MIDI, .KAR, .RMI)",
         {{u64(0, {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06})}}},
        // 17
        {202, u"OGG", u"", u"", -122, u"Audio", 10240, u"audio", u"OGG Audio",
         {{u64(0, {0x4F, 0x67, 0x67, 0x53, 0x00, 0x02, 0x00, 0x00})}}},
        // 18
        {221, u"DSS", u"", u"", -122, u"Audio", 10240, u"audio", u"Digital Speech Standard",
         {{u32(0, {0x02, 0x64, 0x75, 0x75})}}},
        // 19
        {222, u"AU", u"SND", u"", -122, u"Audio", 5120, u"audio", u"AU Audio (.AU, .SND)",
         {{u32(0, {0x2E, 0x75, 0x6E, 0x64})}}},
        // 20
        {223, u"AIF", u"AIFF,AIFC", u"", -122, u"Audio", 5120, u"audio", u"AIF Audio (.AIFF, .AIFC)",
         {{u32(0, {0x46, 0x4F, 0x52, 0x4D}), text(8, "AIF")}}},
        // 21
        {224, u"M3U", u"", u"", -122, u"Audio", 1024, u"audio", u"M3U Play List File",
         {{text(0, "#EXTM3U")}}},
        // 22
        {226, u"VOC", u"", u"", -122, u"Audio", 3072, u"audio", u"Creative Voice File",
         {{text(0, "Creative Voice File")}}},
        // 23
        {227, u"AVR", u"", u"", -122, u"Audio", 3072, u"audio", u"Audio Visual Research File",
         {{u32(0, {0x32, 0x42, 0x49, 0x54})}}},
        // 24
        {83, u"JPG", u"JPEG,JPE,JFIF,JFI", u"", -115, u"Images", 3072, u"image", u"JPEG Image",
         {{u32(0, {0xFF, 0xD8, 0xFF, 0xE1})}, {u32(0, {0xFF, 0xD8, 0xFF, 0xE0})}}},
        // 25
        {84, u"BMP", u"", u"", -115, u"Images", 10240, u"image", u"Bitmap Image",
         {{u16(0, {0x42, 0x4D}), u32(6, {0x00, 0x00, 0x00, 0x00})}}},
        // 26
        {85, u"GIF", u"", u"", -115, u"Images", 1024, u"image", u"GIF Image",
         {{u32(0, {0x47, 0x49, 0x46, 0x38}), u8(5, {0x61})}}},
        // 27
        {87, u"TIFF", u"TIF", u"", -115, u"Images", 10240, u"image", u"TIFF Image",
         {{u32(0, {0x4D, 0x4D, 0x00, 0x2A})}, {u32(0, {0x49, 0x49, 0x2A, 0x00})}}},
        // 28
        {88, u"PNG", u"", u"", -115, u"Images", 1024, u"image", u"PNG Image",
         {{u64(0, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}), u64(8, {0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52})}}},
        // 29
        {89, u"PSD", u"", u"", -115, u"Images", 10240, u"image", u"Photoshop Document",
         {{u64(0, {0x38, 0x42, 0x50, 0x53, 0x00, 0x01, 0x00, 0x00})}}},
        // 30
        {91, u"WMF", u"MET", u"", -115, u"Images", 10240, u"image", u"Windows Metafile",
         {{u32(0, {0xD7, 0xCD, 0xC6, 0x9A}), u16(4, {0x00, 0x00})}}},
        // 31
        {92, u"TTF", u"", u"", -115, u"Images", 3072, u"image", u"TrueType Font File",
         {{u32(0, {0x00, 0x01, 0x00, 0x00}), u32(12, {0x4F, 0x53, 0x2F, 0x32})}}},
        // 32
        {93, u"PSP", u"", u"", -115, u"Images", 10240, u"image", u"Paint Shop Pro Image",
         {{text(0, "Paint Shop Pro Image File")}}},
        // 33
        {94, u"CDR", u"", u"", -115, u"Images", 10240, u"image", u"Corel Draw",
         {{u32(0, {0x52, 0x49, 0x46, 0x46}), text(8, "CDR")}}},
        // 34
        {95, u"XIF", u"", u"", -115, u"Images", 5120, u"image", u"Xerox Image Format",
         {{text(0, "II*"), u64(kXifExtendedOffset, {0x65, 0x58, 0x74, 0x65, 0x6E, 0x64, 0x65, 0x64})}}},
        // 35
        {90, u"ICO", u"", u"", -115, u"Images", 1024, u"image", u"Icon File",
         {{u32(0, {0x00, 0x00, 0x01, 0x00}), range16(4, kIconCountLow, kIconCountHigh), u8(9, {0x00})}}},
        // 36
        {96, u"DWG", u"", u"", -115, u"Images", 10240, u"image", u"AutoCAD Drawing",
         {{u32(0, {0x2A, 0x38, 0x78, 0x02})}}},
        // 37
        {97, u"DXF", u"", u"", -115, u"Images", 1024, u"image", u"AutoCAD Drawing",
         {{text(4, "SECTION")}}},
        // 38
        {110, u"MRW", u"", u"", -117, u"Fotos", 5120, u"foto_image", u"Minolta RAW. Raster image from a Minolta digital camera",
         {{u32(0, {0x00, 0x4D, 0x52, 0x4D})}}},
        // 39
        {111, u"CRW", u"CR2", u"", -117, u"Fotos", 5120, u"foto_image", u"Canon RAW. Photograph from a Canon camera",
         {{text(8, "HEAPCCDR")}, {text(8, "HEAPJPGM")}, {text(8, "HEAPTIFP")}, {text(8, "HEAPARCH")}}},
        // 40
        {112, u"DCR", u"", u"", -117, u"Fotos", 5120, u"foto_image", u"Digital Camera RAW. Photograph from a Kodak digital camera",
         {{u32(0, {0x52, 0x49, 0x46, 0x58})}, {u32(0, {0x58, 0x46, 0x49, 0x52})}}},
        // 41
        {117, u"RAF", u"", u"", -117, u"Fotos", 51200, u"foto_image", u"RAW Fuji. Raster image from a Fuji digital camera",
         {{text(0, "FUJIFILM")}}},
        // 42
        {114, u"NEF", u"", u"", -117, u"Fotos", 10240, u"foto_image", u"NEF Foto",
         {{u32(0, {0x4D, 0x4D, 0x00, 0x2A})}, {u32(0, {0x49, 0x49, 0x2A, 0x00})}}},
        // 43
        {160, u"ASF", u"", u"", -120, u"Video", 51200, u"video", u"ASF",
         {{u64(0, {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11}), u64(8, {0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C})}}},
        // 44
        {150, u"RM", u"", u"", -120, u"Video", 51200, u"video", u"RealMedia File",
         {{u32(0, {0x2E, 0x52, 0x4D, 0x46})}}},
        // 45
        {170, u"MOV", u"QT,PKG,M2S,MPGX,MPM,QTIF,QTI", u"", -120, u"Video", 51200, u"quicktime", u"QuickTime (Rich Media Format)",
         {{u32(0, {0x6D, 0x6F, 0x6F, 0x76})}, {u32(0, {0x70, 0x6E, 0x6F, 0x74})}, {u32(0, {0x6D, 0x64, 0x61, 0x74})}, {u32(0, {0x77, 0x69, 0x64, 0x65})}, {u32(0, {0x76, 0x69, 0x64, 0x65})}, {u32(0, {0x74, 0x72, 0x61, 0x6B})}, {u32(0, {0x73, 0x6B, 0x69, 0x70})}, {u32(0, {0x4D, 0x50, 0x45, 0x47})}, {u32(0, {0x73, 0x74, 0x72, 0x6D})}, {u32(0, {0x66, 0x72, 0x65, 0x65})},
          fileTypeBox("qt  ")}},
        // 46
        {130, u"AVI", u"", u"", -120, u"Video", 51200, u"video", u"AVI (RIFF Video Format)",
         {{u32(0, {0x52, 0x49, 0x46, 0x46}), text(8, "AVI LIST")}}},
        // 47
        {181, u"3GP", u"", u"", -120, u"Video", 5120, u"mobile_video", u"Mobile Phone Video",
         {{text(4, "ftyp3gp")}, fileTypeBox("3g2")}},
        // 48
        {141, u"MP4", u"", u"", -120, u"Video", 51200, u"video", u"MPEG-4 Video File",
         {{u32(4, {0x66, 0x74, 0x79, 0x70}), text(16, "mp4")}, fileTypeBox("isom"), fileTypeBox("iso2"),
          fileTypeBox("iso3"), fileTypeBox("iso4"), fileTypeBox("iso5"), fileTypeBox("iso6"),
          fileTypeBox("mp41"), fileTypeBox("mp42"), fileTypeBox("avc1"), fileTypeBox("M4V "),
          fileTypeBox("dash")}},
        // 49
        {265, u"SIS", u"", u"", -128, u"Mobile", 5120, u"mobile_content", u"SymbianOS Installer File",
         {{u32(6, {0x04, 0x19, 0x10, 0x00}), u16(10, {0x10, 0x00})}}},
        // 50
        {300, u"ZIP", u"", u"", -48, u"File Archives", 10240, u"archive", u"PkZIP/WinZIP Archive File",
         {{u32(0, {0x50, 0x4B, 0x03, 0x04})}}},
        // 51
        {330, u"TAR", u"", u"", -48, u"File Archives", 10240, u"archive", u"TAR Archive File",
         {{text(257, "ustar")}}},
        // 52
        {310, u"RAR", u"", u"", -48, u"File Archives", 10240, u"archive", u"RAR Archive File",
         {{u32(0, {0x52, 0x61, 0x72, 0x21})}, {bytes(4, {0x1A, 0x07, 0x00})}}},
        // 53
        {320, u"ARJ", u"", u"", -48, u"File Archives", 10240, u"archive", u"ARJ Archive File",
         {{u16(0, {0x60, 0xEA})}}},
        // 54
        {331, u"GZIP", u"", u"", -48, u"File Archives", 10240, u"archive", u"GZIP Archive File",
         {{u16(0, {0x1F, 0x8B})}}},
        // 55
        {332, u"ACE", u"", u"", -48, u"File Archives", 10240, u"archive", u"ACE Archive File",
         {{text(0, "**ACE**")}}},
        // 56
        {333, u"LZH", u"", u"", -48, u"File Archives", 10240, u"archive", u"LZH Archive File",
         {{text(2, "-lh")}, {text(2, "-lz")}}},
        // 57
        {334, u"HA", u"", u"", -48, u"File Archives", 10240, u"archive", u"HA Archive File",
         {{u16(0, {0x48, 0x41})}}},
        // 58
        {335, u"HYP", u"", u"", -48, u"File Archives", 10240, u"archive", u"HYP Archive File",
         {{bytes(0, {0x1A, 0x48, 0x50})}, {bytes(0, {0x1A, 0x53, 0x54})}}},
        // 59
        {336, u"CAB", u"", u"", -48, u"File Archives", 10240, u"archive", u"MS Cabinet File",
         {{u64(0, {0x4D, 0x53, 0x43, 0x46, 0x00, 0x00, 0x00, 0x00})}}},
        // 60
        {337, u"ZOO", u"", u"", -48, u"File Archives", 10240, u"archive", u"ZOO Archive File",
         {{u32(0, {0x5A, 0x4F, 0x4F, 0x20})}}},
        // 61
        {338, u"JAR", u"", u"", -48, u"File Archives", 10240, u"archive", u"JAR Archive File",
         {{u64(0, {0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x08, 0x00})}, {bytes(0, {0x4A, 0x41, 0x52, 0x43, 0x53, 0x00})}}},
        // 62
        {339, u"Z", u"", u"", -48, u"File Archives", 10240, u"archive", u"Z Archive File",
         {{bytes(0, {0x1F, 0x9D, 0x90})}}},
        // 63
        {344, u"GZ", u"", u"", -48, u"File Archives", 10240, u"archive", u"GZ Archive File",
         {{bytes(0, {0x1F, 0x8B, 0x08})}}},
        // 64
        {345, u"7Z", u"", u"", -48, u"File Archives", 10240, u"archive", u"7Z Archive File",
         {{u16(0, {0x37, 0x7A}), u32(2, {0xBC, 0xAF, 0x27, 0x1C})}}},
        // 65
        {340, u"AIN", u"", u"", -48, u"File Archives", 10240, u"archive", u"AIN Archive File",
         {{u32(0, {0x21, 0x12, 0x00, 0x00})}}},
        // 66
        {341, u"BZIP", u"BZI", u"", -48, u"File Archives", 10240, u"archive", u"BZIP Archive File",
         {{text(0, "BZh91AY&SY")}}},
        // 67
        {342, u"RK", u"", u"", -48, u"File Archives", 10240, u"archive", u"RK Archive File",
         {{u32(0, {0x52, 0x4B, 0x41, 0x37})}}},
        // 68
        {343, u"UC2", u"", u"", -48, u"File Archives", 10240, u"archive", u"UC2 Archive File",
         {{u32(0, {0x55, 0x43, 0x32, 0x1A})}}},
        // 69
        {400, u"EXE", u"", u"EXE-DOS", -80, u"Executable Files", 10240, u"executable", u"DOS Executable File",
         {{u16(0, {0x4D, 0x5A})}}},
        // 70
        {411, u"LIB", u"", u"EXE-LIBCOFF", -80, u"Executable Files", 10240, u"executable", u"LIBCOFF Executable File",
         {{u64(0, {0x21, 0x3C, 0x61, 0x72, 0x63, 0x68, 0x3E, 0x0A})}}},
        // 71
        {412, u"LIB", u"", u"EXE-MSLIB", -80, u"Executable Files", 10240, u"executable", u"MSLIB Executable File",
         {{u32(0, {0xF0, 0x0D, 0x00, 0x00})}}},
        // 72
        {500, u"DBX", u"", u"", -64, u"Database", 10240, u"outlook_express_data", u"Outlook Express E-mail Folder",
         {{u32(0, {0xCF, 0xAD, 0x12, 0xFE})}}},
        // 73
        {501, u"MDB", u"", u"", -64, u"Database", 10240, u"access_database", u"Microsoft Access Database",
         {{bytes(4, {0x53, 0x74, 0x61, 0x6E, 0x64, 0x61, 0x72, 0x64, 0x20, 0x4A, 0x65, 0x74, 0x20, 0x44, 0x42, 0x00})}}},
        // 74
        {800, u"MNY", u"", u"", -64, u"Database", 10240, u"money_data", u"Microsoft Money Data",
         {{text(4, "MSISAM.Database")}}},
        // 75
        {250, u"PST", u"OST", u"", -145, u"Misc. Documents", 51200, u"outlook", u"MS Outlook Personal Folders",
         {{u32(0, {0x21, 0x42, 0x44, 0x4E})}}},
        // 76
        {251, u"OAB", u"", u"", -145, u"Misc. Documents", 5120, u"outlook_address_book", u"MS Outlook Address Book",
         {{bytes(1, {0x00, 0x00, 0x00, 0x94, 0x01, 0x00, 0x3E})}}},
        // 77
        {53, u"JXW", u"JAW,JBW,JSW", u"", -145, u"Misc. Documents", 5120, u"document", u"Ichitaro Document (Japanese)",
         {{u32(0, {0x44, 0x4F, 0x43, 0x00}), u32(4, {0x00, 0x00, 0x00, 0x00})}}},
        // 78
        {252, u"CAL", u"", u"", -145, u"Misc. Documents", 2048, u"Calendar", u"MS Calendar",
         {{u64(0, {0xB5, 0xA2, 0xB0, 0xB3, 0xB3, 0xB0, 0xA2, 0xB5})}}},
        // 79
        {506, u"CRD", u"", u"", -64, u"Database", 10240, u"Cardfile", u"Microsoft Cardfile",
         {{text(0, "MGC")}}},
        // 80
        {6, u"", u"", u"", -16, u"System", 0, u"system", u"System Logical NTFS Disk",
         {{u16(510, {0x55, 0xAA}), u8(0, {0xEB}), u8(2, {0x90}), text(3, "NTFS    "), u32(36, {0x80, 0x00, 0x80, 0x00})}}},
        // 81
        {4, u"", u"", u"", -16, u"System", 1024, u"system", u"NTFS File Entry ",
         {{u32(0, {0x46, 0x49, 0x4C, 0x45})}}},
        // 82
        {1, u"", u"", u"", -16, u"System", 0, u"system", u"System Sector",
         {{u16(510, {0x55, 0xAA})}}},
        // 83
        {10, u"DOC", u"", u"", -146, u"Documents", 20480, u"document", u"Microsoft Storage File (DOC,XLS,PPT and etc.)",
         {{u32(0, {0xD0, 0xCF, 0x11, 0xE0})}}},
        // 84
        {12, u"DOC", u"", u"", -146, u"Text Documents", 5120, u"document", u"Microsoft Word Document",
         {}},
        // 85
        {11, u"XLS", u"", u"", -146, u"Spreadsheet Documents", 5120, u"document", u"Microsoft Excel Document",
         {}},
        // 86
        {13, u"PTT", u"", u"", -146, u"Misc. Documents", 5120, u"document", u"Microsoft PowerPoint Presentation",
         {}},
        // 87
        {18, u"PUB", u"", u"", -146, u"Misc. Documents", 10240, u"document", u"Microsoft Publisher Document",
         {}},
        // 88
        {16, u"MPP", u"", u"", -146, u"Misc. Documents", 10240, u"document", u"Microsoft Project Document",
         {}},
        // 89
        {15, u"VSD", u"", u"", -146, u"Misc. Documents", 5120, u"document", u"Microsoft Visio Document",
         {}},
        // 90
        {17, u"WPS", u"", u"", -146, u"Misc. Documents", 5120, u"document", u"Microsoft Works Document",
         {}},
        // 91
        {30, u"MAX", u"", u"", -146, u"Misc. Documents", 5120, u"discreet", u"3D Studio Max Model",
         {}},
        // 92
        {81, u"3DS", u"", u"", -145, u"Misc. Documents", 5120, u"discreet", u"3D Studio Max Model",
         {}},
        // 93
        {33, u"FLA", u"", u"", -145, u"Misc. Documents", 3072, u"flash_document", u"Macromedia Flash",
         {}},
        // 94
        {27, u"JTD", u"JTD,JFW,JTT", u"", -145, u"Misc. Documents", 5120, u"document", u"Ichitaro Document (Storage File) (Japanese)",
         {}},
    };
    return rows;
}

void CInformationStorage::AddBuiltinFileTypes() {
    for (const BuiltinType& row : builtinFileTypes()) {
        CFileType* type = AddFileType(row.categoryCode, row.id, row.defaultSizeKb, 0, row.name,
                                      row.description, row.categoryText, row.namePrefix,
                                      row.extension, row.extensionList);
        for (const BuiltinSignature& conditions : row.signatures) {
            CFileSignature* signature = nullptr;
            for (const BuiltinCondition& condition : conditions) {
                auto length = static_cast<std::uint16_t>(condition.value.size());
                if (signature == nullptr) {
                    signature = type->AddSignature(condition.kind, condition.value.data(),
                                                   condition.offset, length, 0);
                } else {
                    signature->AddCondition(condition.kind, condition.value.data(),
                                            condition.offset, length, 0);
                }
            }
        }
    }
}
