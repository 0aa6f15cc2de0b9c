#include "score_graph_file.h"

#ifdef MAROVIN_TOOL_IMAGE
#include <QFile>
#include <QImage>

#include "board/score_graph.h"
#endif

namespace marovin::tool {

#ifdef MAROVIN_TOOL_IMAGE

bool CanWriteScoreGraph()
{
    return true;
}

bool WriteScoreGraph(const std::string& path, const ScoreGraphValues& graph, std::string& error)
{
    QImage image(kScoreGraphWidth, kScoreGraphHeight, QImage::Format_RGB32);
    board::paintScoreGraph(image, board::ScoreGraphData{graph.values, graph.marks, -1});
    if (!image.save(QFile::decodeName(QByteArray::fromStdString(path)), "PNG")) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

#else

bool CanWriteScoreGraph()
{
    return false;
}

bool WriteScoreGraph(const std::string& path, const ScoreGraphValues&, std::string& error)
{
    error = "cannot draw " + path + " without Qt";
    return false;
}

#endif

} // namespace marovin::tool
