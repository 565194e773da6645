#include "wizard/model/formats/builtin_formats.h"

// Only the camera and drawing formats are searched at first. Some ids have no engine type
// (RAW, ORF, PEF, SRF, MPEG, RAF (1), MP3, WMA, RIFF): those formats act by extension only.
const std::array<BuiltinFormat, kBuiltinFormatCount> kBuiltinFormats{{
    // Title, Category, FileExtensions, DefaultExtension, Description, FilePrefix,
    // SignatureId, Search, PreviewAvailable, DefaultSizeKb, RecoveryOrder
    {"JPEG", "Images", "JPG,JPEG,JPE", "JPG", "JPEG Image", "image", 83, false, true, 3072, 50},
    {"BMP", "Images", "BMP", "BMP", "Bitmap Image", "image", 84, false, true, 10240, 50},
    {"GIF", "Images", "GIF", "GIF", "GIF Image", "image", 85, false, true, 1024, 50},
    {"RAW", "Images", "RAW", "RAW", "RAW Image", "image", 86, false, false, 10240, 50},
    {"TIFF", "Images", "TIF,TIFF", "TIFF", "TIFF Image", "image", 87, false, false, 10240, 50},
    {"PNG", "Images", "PNG", "PNG", "PNG Image", "image", 88, false, false, 1024, 50},
    {"PSD", "Images", "PSD", "PSD", "Photoshop Document", "image", 89, false, false, 10240, 50},
    {"ICO", "Images", "ICO", "ICO", "Icon File", "image", 90, false, true, 512, 50},
    {"WMF", "Images", "WMF", "WMF", "Windows Metafile", "image", 91, false, true, 10240, 50},
    {"TTF", "Images", "TTF", "TTF", "TrueType Font File", "image", 92, false, false, 3072, 50},
    {"PSP", "Images", "PSP", "PSP", "Paint Shop Pro Image", "image", 93, false, false, 10240, 50},
    {"CDR", "Images", "CDR", "CDR", "Corel Draw", "image", 94, false, false, 10240, 50},
    {"XIF", "Images", "XIF", "XIF", "Xerox Image Format", "image", 95, false, false, 5120, 50},
    {"RAF (1)", "Images", "RAF", "RAF", "Fuji-Film CCD-RAW Video", "image", 180, false, false, 51200, 50},
    {"DWG", "Images", "DWG", "DWG", "AutoCAD Drawing Database", "image", 96, true, false, 20480, 50},
    {"MRW", "Images", "MRW", "MRW", "Minolta RAW. Raster image from a Minolta digital camera", "image", 110, true, false, 20480, 50},
    {"CRW", "Images", "CRW", "CRW", "Canon RAW. Photograph from a Canon camera", "image", 111, true, false, 20480, 50},
    {"DCR", "Images", "DCR", "DCR", "Digital Camera RAW. Photograph from a Kodak digital camera", "image", 112, true, false, 20480, 50},
    {"NEF", "Images", "NEF", "NEF", "Nikon Electronic Format. Raster image from a Nikon digital camera", "image", 114, true, false, 20480, 50},
    {"ORF", "Images", "ORF", "ORF", "Olympus Raw Format. Raster image from an Olympus digital camera", "image", 115, true, false, 20480, 50},
    {"PEF", "Images", "PEF", "PEF", "Pentax Electronic Format. Photograph from a Pentax camera", "image", 116, true, false, 20480, 50},
    {"RAF (2)", "Images", "RAF", "RAF", "RAW Fuji. Raster image from a Fuji digital camera", "image", 117, true, false, 20480, 50},
    {"SRF", "Images", "SRF", "SRF", "Sony RAW File. Photograph from a Sony digital camera", "image", 118, true, false, 20480, 50},
    {"DjVu", "Misc. Documents", "DjVu", "DjVu", "Image compression by AT&T", "image", 60, false, false, 2048, 0},
    {"AVI", "Video", "AVI", "AVI", "AVI (RIFF Video Format)", "video", 130, false, false, 51200, 50},
    {"MOV", "Video", "MOV,QT,PKG,M2S,MPGX,MPM,QTIF,QTI", "MOV", "QuickTime (Rich Media Format)", "quicktime", 170, false, false, 51200, 50},
    {"MP4", "Video", "MP4", "MP4", "MPEG-4 Video File", "video", 141, false, false, 51200, 50},
    {"WM", "Video", "ASF,WMV,WM", "WM", "Windows Media Video (.ASF, .WMV, .WM)", "video", 160, false, false, 51200, 50},
    {"RM", "Video", "RM", "RM", "RealMedia File", "video", 150, false, false, 51200, 50},
    {"MPEG", "Video", "MPEG,MP1,MP2,MPG,MPE", "MPEG", "MPEG, MP1, MP2, MPG and MPE Formats", "video", 140, false, false, 51200, 50},
    {"3GP", "Video", "3GP", "3GP", "Mobile Phone Video", "mobile_video", 181, false, false, 5120, 0},
    {"WAV", "Audio", "WAV", "WAV", "Windows Audio", "audio", 200, false, false, 51200, 50},
    {"MP3", "Audio", "MP3", "MP3", "MPEG Layer III", "audio", 201, false, false, 10240, 50},
    {"WMA", "Audio", "WMA", "WMA", "Windows Media Audio (.WMA)", "audio", 210, false, false, 10240, 50},
    {"MIDI", "Audio", "MID,MIDI,KAR,RMI", "MID", "MIDI Audio (.MID, .MIDI, .KAR, .RMI)", "audio", 220, false, false, 2048, 50},
    {"OGG", "Audio", "OGG", "OGG", "OGG Audio", "audio", 202, false, false, 10240, 50},
    {"DSS", "Audio", "DSS", "DSS", "Digital Speech Standard", "audio", 221, false, false, 10240, 50},
    {"AU", "Audio", "AU", "AU", "AU Audio (.AU, .SND)", "audio", 222, false, false, 5120, 50},
    {"AIF", "Audio", "AIF", "AIF", "AIF Audio (.AIFF, .AIFC)", "audio", 223, false, false, 5120, 50},
    {"M3U", "Audio", "M3U", "M3U", "M3U Play List File", "audio", 224, false, false, 1024, 50},
    {"RIFF", "Audio", "RIFF,RIF", "RIFF", "RIFF Multimedia File", "audio", 225, false, false, 5120, 999},
    {"VOC", "Audio", "VOC", "VOC", "Creative Voice File", "audio", 226, false, false, 3072, 50},
    {"AVR", "Audio", "AVR", "AVR", "Audio Visual Research File", "audio", 227, false, false, 3072, 50},
}};

TFormat BuiltinFormat::ToFormat() const {
    TFormat format;
    format.Search = Search;
    format.DefaultSizeKb = DefaultSizeKb;
    format.RecoveryOrder = RecoveryOrder;
    format.FilePrefix = FilePrefix;
    format.Title = Title;
    format.Category = Category;
    format.Description = Description;
    format.DefaultExtension = DefaultExtension;
    format.FileExtensions = FileExtensions;
    format.SignatureId = SignatureId;
    format.PreviewAvailable = PreviewAvailable;
    return format;
}
