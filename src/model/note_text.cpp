#include "model/note_text.h"

#include "support/big5.h"

namespace marovin::model {

namespace {

// Bytes that are no text of a note: control bytes other than the line ends (a tab is turned
// into a blank before this is asked), DEL and 0xFF.
bool isDropped(unsigned char byte)
{
    return (byte < 0x20 && byte != '\r' && byte != '\n') || byte == 0x7F || byte == 0xFF;
}

bool isBlankSpace(char c)
{
    return c == ' ' || c == '\r' || c == '\n';
}

} // namespace

std::string NormalNoteText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            std::size_t run = i;
            while (run < text.size() && text[run] == '\r')
                ++run;
            if (run < text.size() && text[run] == '\n') {
                out += "\r\n"; // CR LF, CR CR LF, ...: one line end
                i = run;
            } else {
                for (; i < run; ++i) // each CR alone ends a line
                    out += "\r\n";
                --i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c == '\t') {
            out += ' ';
        } else if (!isDropped(static_cast<unsigned char>(c))) {
            out += c;
        }
    }
    return out;
}

bool IsStorableNote(std::string_view note)
{
    if (note.size() > kNoteLimit)
        return false;
    for (std::size_t i = 0; i < note.size(); ++i) {
        const char c = note[i];
        if (c == '\r' && (i + 1 >= note.size() || note[i + 1] != '\n'))
            return false;
        if (c == '\n' && (i == 0 || note[i - 1] != '\r'))
            return false;
        if (c == '\t' || isDropped(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::size_t StoreNote(std::string& note, std::string_view text, NoteJoin join)
{
    const std::string add = NormalNoteText(text);
    if (join == NoteJoin::Replace)
        note.clear();
    const std::size_t kept = note.size();
    const std::size_t separator = join == NoteJoin::NewLine ? 2 : 0;
    if (kept + separator + add.size() > kNoteLimit && kept + separator >= kNoteLimit)
        return add.size(); // a full note: nothing more fits (and nothing is scanned)
    if (separator > 0)
        note += "\r\n";
    note += add;
    if (note.size() <= kNoteLimit)
        return 0;
    // The note ends between two characters where the text begins (where a line end was
    // put, or where a line written in parts was parted), so the characters are counted
    // from there.
    const std::size_t whole = note.size();
    std::size_t cut = kept + big5PrefixLength(std::string_view(note).substr(kept), kNoteLimit - kept);
    while (cut > kept && isBlankSpace(note[cut - 1]))
        --cut;
    note.resize(cut);
    return cut == kept ? add.size() : whole - cut;
}

std::string NoteCutMessage(int ply)
{
    return "A note was cut to " + std::to_string(kNoteLimit) + " bytes, the most a note holds (move " +
           std::to_string(ply) + ").";
}

} // namespace marovin::model
