#include "radar/map_lists.h"

#include <GL/gl.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>

#include "radar/map_files.h"

namespace aerova {

namespace {

// Closes the list being compiled whatever happens while it is open.
class ListGuard {
  public:
    explicit ListGuard(unsigned list) { glNewList(list, GL_COMPILE); }
    ~ListGuard() { glEndList(); }
    ListGuard(const ListGuard&) = delete;
    ListGuard& operator=(const ListGuard&) = delete;
};

}  // namespace

void CompileMapScene(MapScene& scene, const MapData& data,
                     const std::function<void(const std::string&)>& memoryError) {
    while (glGetError() != GL_NO_ERROR) {
    }
    for (int type = 1; type <= kLayerTypes; ++type) {
        const auto t = static_cast<std::size_t>(type - 1);
        unsigned& list = scene.outlineLists[t];
        if (list == 0) list = glGenLists(1);
        if (list == 0) continue;
        {
            ListGuard guard(list);
            for (const auto& line : data.outlines[t]) {
                glBegin(GL_LINE_STRIP);
                for (const MapPoint& p : line) {
                    const ModelPoint m = GeoToModel(p.lat, p.lon, 0.0f);
                    glVertex3f(m.x, m.y, m.z);
                }
                glEnd();
            }
        }
        if (glGetError() == GL_OUT_OF_MEMORY && memoryError)
            memoryError("Memory error on outlines display list");
    }
    SetSceneWaypoints(scene, data);
    scene.built = true;
}

bool WithShareGroupContext(const std::function<void()>& work) {
    QOpenGLContext* share = QOpenGLContext::globalShareContext();
    if (!share) return false;
    QOffscreenSurface surface;
    surface.setFormat(share->format());
    surface.create();
    QOpenGLContext context;
    context.setFormat(share->format());
    context.setShareContext(share);
    if (!context.create() || !context.makeCurrent(&surface)) return false;
    work();
    context.doneCurrent();
    return true;
}

}  // namespace aerova
