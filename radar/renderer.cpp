#include "radar/renderer.h"

#include <GL/gl.h>

#include <cmath>

#include "base/numbers.h"
#include "base/strings.h"
#include "radar/geo_model.h"
#include "radar/gl_resources.h"
#include "radar/great_circle.h"
#include "radar/label_composer.h"
#include "radar/ring_centre.h"
#include "radar/symbols.h"
#include "radar/target_style.h"

namespace aerova {

namespace {

constexpr float kCircleHeightKm = 0.1f;
constexpr float kVectorHeightKm = 0.1f;
constexpr double kRad = M_PI / 180.0;

void Colour(const Rgb& c) {
    glColor3f(c.r, c.g, c.b);
}

void GeoVertex(double lat, double lon, float heightKm) {
    const ModelPoint p = GeoToModel(static_cast<float>(lat), static_cast<float>(lon), heightKm);
    glVertex3f(p.x, p.y, p.z);
}

// A point r NM from the centre at angle theta, on the flat approximation the circles use.
void CircleVertex(double lat, double lon, double radiusNm, double thetaDeg) {
    const double coslat = std::cos(lat * kRad);
    GeoVertex(lat + radiusNm / 60 * std::cos(thetaDeg * kRad),
              lon + radiusNm / 60 * std::sin(thetaDeg * kRad) / (coslat != 0 ? coslat : 1),
              kCircleHeightKm);
}

// `drawcircle`: a line strip of 73 vertices at 5 degree steps.
void DrawCircle(double radiusNm, double lat, double lon) {
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i <= 72; ++i) CircleVertex(lat, lon, radiusNm, i * 5.0);
    glEnd();
}

// `drawdashedcircle`: segments from theta to theta + a for theta = 0, 2a, 4a ... <= 360.
void DrawDashedCircle(double dashDeg, double radiusNm, double lat, double lon) {
    glBegin(GL_LINES);
    for (double theta = 0; theta <= 360; theta += 2 * dashDeg) {
        CircleVertex(lat, lon, radiusNm, theta);
        CircleVertex(lat, lon, radiusNm, theta + dashDeg);
    }
    glEnd();
}

// Precipitation cells lie under the grid, the rings and the targets, above the globe
// picture; a strike of age a lies at -a/10 km, so newer strikes cover older ones and all of
// them cover the cells.
constexpr float kWeatherCellHeightKm = -0.6f;

// The half diagonal of a lightning diamond, degrees: larger as the camera rises, so a strike
// stays visible from far out.
double StrikeSize(float cameraDistance) {
    if (cameraDistance < 6775) return 0.022222;
    if (cameraDistance < 7875) return 0.05;
    return 0.117647;
}

// Sine and cosine of one cell edge, computed again only when the edge moves: the cells of a
// grid come column by column, so neighbours share their longitudes and one latitude. A frame
// may hold a hundred thousand cells.
class EdgeTrig {
  public:
    void Set(float deg) {
        if (deg == deg_) return;
        deg_ = deg;
        const float a = deg * static_cast<float>(kRad);
        sin_ = std::sin(a);
        cos_ = std::cos(a);
    }
    float deg() const { return deg_; }
    float sin() const { return sin_; }
    float cos() const { return cos_; }

  private:
    float deg_ = std::nanf("");
    float sin_ = 0, cos_ = 1;
};

// The vertex GeoToModel gives for (lat, lon) at radius r, from the edges' sines and cosines.
void EdgeVertex(const EdgeTrig& lat, const EdgeTrig& lon, float r) {
    glVertex3f(r * lat.cos() * lon.sin(), r * lat.sin(), r * lat.cos() * lon.cos());
}

// `drawquad` for every cell, in its class colour, as one batch.
void DrawWeatherCells(const WeatherLayer& w) {
    if (w.cells.empty()) return;
    const float r = kEarthRadiusKm + kWeatherCellHeightKm;
    EdgeTrig west, east, south, north;
    glBegin(GL_QUADS);
    for (const WeatherCell& c : w.cells) {
        if (c.intensityClass >= kWeatherCellClasses) continue;
        Colour(w.colours[static_cast<std::size_t>(kWeatherCellColourFirst + c.intensityClass)]);
        // The cell above ends where this one starts.
        if (c.north == south.deg())
            north = south;
        else
            north.Set(c.north);
        south.Set(c.south);
        west.Set(c.west);
        east.Set(c.east);
        EdgeVertex(south, west, r);
        EdgeVertex(south, east, r);
        EdgeVertex(north, east, r);
        EdgeVertex(north, west, r);
    }
    glEnd();
}

// `drawblitz`: a diamond per strike, filled in its age colour and outlined in the radar
// background so that neighbouring strikes stay apart.
void DrawStrikes(const WeatherLayer& w, float cameraDistance, const Rgb& background) {
    const double s = StrikeSize(cameraDistance);
    auto corners = [s](const LightningStrike& strike, bool outline) {
        const float height = -static_cast<float>(strike.age) / 10.0f;
        const double lat = strike.lat, lon = strike.lon;
        const std::array<std::array<double, 2>, 4> corner = {
            {{lat + s, lon}, {lat, lon + s}, {lat - s, lon}, {lat, lon - s}}};
        for (std::size_t i = 0; i < corner.size(); ++i) {
            GeoVertex(corner[i][0], corner[i][1], height);
            if (outline) {
                const auto& next = corner[(i + 1) % corner.size()];
                GeoVertex(next[0], next[1], height);
            }
        }
    };
    auto drawn = [](const LightningStrike& strike) {
        return strike.age >= 0 && strike.age < kLightningAges;
    };
    glBegin(GL_QUADS);
    for (const LightningStrike& strike : w.strikes) {
        if (!drawn(strike)) continue;
        Colour(w.colours[static_cast<std::size_t>(strike.age)]);
        corners(strike, false);
    }
    glEnd();
    Colour(background);
    glBegin(GL_LINES);
    for (const LightningStrike& strike : w.strikes)
        if (drawn(strike)) corners(strike, true);
    glEnd();
}

bool LevelInFilter(int level, int lower, int upper) {
    return level >= lower && level <= upper;
}

// The replay speed of the station a target came from: "0" live, empty when not a station's.
std::string_view ReplaySpeed(const FlightTable& table, const Tflight& f) {
    if (f.srcip.empty()) return {};
    const int peer = table.FindPeer(f.srcip.view(), f.srcport);
    return peer < 0 ? std::string_view{}
                    : table.peers[static_cast<std::size_t>(peer)].replayspeed.view();
}

bool FastReplay(std::string_view speed) {
    return speed == "5" || speed == "10" || speed == "20" || speed == "30";
}

}  // namespace

bool RadarRenderer::RenderFrame(const RenderInputs& in, int width, int height) {
    if (in.busy || !in.table || !in.view || !in.cache || !in.display || !in.colours || !in.labels)
        return false;
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    if (layer_.width() != width_ || layer_.height() != height_) layer_.Resize(width_, height_);
    layer_.Clear();
    stats_ = FrameStats{};
    leaders_.clear();
    largeFont_ = in.display->cbfont == "10";
    overlayHidden_ = in.display->overlayHidden;

    const WindowTargetMarks& marks =
        in.table->windows[static_cast<std::size_t>(in.display->window == 2 ? 1 : 0)];
    const Tflight* followed = marks.followed >= 0 && marks.followed < kMaxFlights
                                  ? &in.table->flights[static_cast<std::size_t>(marks.followed)]
                                  : nullptr;
    highlightActive_ = marks.highlighted >= 0;
    frame_ = BeginFrameProjection(*in.view, width_, height_, followed);
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(frame_.projection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(frame_.modelview.data());
    const Rgb& bg = (*in.colours)[kColRadarBackground];
    glClearColor(bg.r, bg.g, bg.b, 1);
    glClearDepth(1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glLineWidth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Weather cells, lightning, map layers, mosaics and the globe picture are drawn from
    // their own state, which is empty until their sources are attached.
    DrawWeather(in);
    const ColourMarks& items = in.display->marks;
    if (items[kColRadarRings]) DrawRangeRings(in);
    if (items[kColGlobalGrid] && shared_.built()) {
        Colour((*in.colours)[kColGlobalGrid]);
        glCallList(shared_.gridList());
    }
    DrawMapLayers(in);
    if (!in.display->cbatctrails || in.display->cbuserstyle) DrawRecordedTrails(in);
    FirstPass(in);
    DrawTextures(in);

    // Pixel projection for the second pass and the overlays.
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(PixelProjection(width_, height_).data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    if (in.display->centreMarkShown) {
        Colour(Rgb{1, 1, 1});
        DrawLabel({}, Rgb{}, Rgb{}, Rgb{1, 1, 1}, true, -1, 0, width_ / 2, height_ / 2);
    }
    SecondPass(in);
    FlushLayer();
    DrawOverlays(in);
    glEnable(GL_DEPTH_TEST);
    return true;
}

void RadarRenderer::DrawMapLayers(const RenderInputs& in) {
    if (!in.maps || !in.mapColours || !in.maps->built) return;
    const RadarDisplayState& d = *in.display;
    for (int type = 1; type <= kLayerTypes; ++type) {
        const unsigned list = in.maps->outlineLists[static_cast<std::size_t>(type - 1)];
        if (list == 0 || !OutlineTypeShown(d, type)) continue;
        Colour(in.mapColours->outlines[static_cast<std::size_t>(type - 1)]);
        glCallList(list);
    }
    // Waypoints: a small ring, the name beside it and the second text below, in the
    // layer's colour, painted into the frame's pixel layer.
    const BitmapFont* font = shared_.fonts().Get(FontSize::k10);
    for (int type = 1; type <= kLayerTypes; ++type) {
        if (!WaypointTypeShown(d, type)) continue;
        const auto t = static_cast<std::size_t>(type - 1);
        layer_.SetColour(in.mapColours->waypoints[t]);
        for (const SceneWaypoint& w : in.maps->waypoints[t]) {
            const auto px = RasterPosition(w.point, frame_);
            if (!px) continue;
            // The ring centred on the point; the name from 6 right and 2 up, the second
            // text 6 further right and 8 lower.
            const int x = px->x, y = px->y;
            layer_.DrawSymbol(kSymWaypoint, x, y);
            ++stats_.waypointsDrawn;
            if (!font) continue;
            int pen = x + 6;
            for (const char c : w.name)
                pen += layer_.DrawGlyph(*font, static_cast<std::uint8_t>(c), pen, y + 2);
            if (w.text.empty()) continue;
            pen += 6;
            for (const char c : w.text)
                pen += layer_.DrawGlyph(*font, static_cast<std::uint8_t>(c), pen, y - 6);
        }
    }
}

void RadarRenderer::DrawTextures(const RenderInputs& in) {
    const TextureScene* t = in.textures;
    if (!t) return;
    if (t->mosaicsReady && in.showMosaics) {
        Colour(in.mosaicTint);
        for (const auto& m : t->mosaics) glCallList(m.list);
    }
    const RadarDisplayState& d = *in.display;
    const bool high = in.view->cameraDistance > 6372.5 + in.autoHeightKm;
    if (t->globeReady && d.cbworld && (!d.cbautoheight || high)) {
        Colour(Rgb{1, 1, 1});
        glCallList(t->globeList);
    }
}

void RadarRenderer::DrawWeather(const RenderInputs& in) {
    if (!in.weather) return;
    DrawWeatherCells(*in.weather);
    if (in.weather->lightning)
        DrawStrikes(*in.weather, in.view->cameraDistance, (*in.colours)[kColRadarBackground]);
}

void RadarRenderer::DrawRangeRings(const RenderInputs& in) {
    const RingCentrePosition centre = PublishedRingCentre(*in.view);
    const double lat = centre.lat, lon = centre.lon;
    Colour((*in.colours)[kColRadarRings]);
    for (double r : {0.001, 0.01, 0.02, 0.03}) DrawCircle(r, lat, lon);
    int ring = IntOf(Trim(in.display->cbrings));
    if (ring <= 0) ring = 60;
    int outer = 0;
    for (int r = ring; r < 251; r += ring) {
        DrawDashedCircle(1, r, lat, lon);
        outer = r;
    }
    const double inner = in.display->cbinner ? ring : 0;
    const double span = outer - inner;
    if (span <= 0) return;
    glBegin(GL_LINES);
    for (int angle = 0; angle <= 360; angle += 30) {
        // 51 dashes, each dash and each gap a hundredth of the span.
        for (int dash = 0; dash < 51; ++dash) {
            const double from = inner + span * (2 * dash) / 100.0;
            CircleVertex(lat, lon, from, angle);
            CircleVertex(lat, lon, std::min<double>(outer, from + span / 100.0), angle);
        }
    }
    glEnd();
}

void RadarRenderer::DrawRecordedTrails(const RenderInputs& in) {
    const RadarDisplayState& d = *in.display;
    const int points = static_cast<int>(std::lround(RealOf(Trim(d.cbtrailsmin)) * 60));
    const std::vector<int> walk = RecordedTrailWalk(
        in.trailIndex, points, RecordedTrailStep(in.view->cameraDistance), kTrailPoints);
    if (walk.empty()) return;
    const int upper = FilterLevel(d.cbupper), lower = FilterLevel(d.cblower);
    const TrailStore& trails = in.table->trails;
    for (int ring = 0; ring < kTrailRings; ++ring) {
        if (!trails.InUse(ring)) continue;
        const TrailPoint* ringPoints = trails.Ring(ring);
        for (const int index : walk) {
            const TrailPoint& p = ringPoints[index];
            const bool wanted = d.cbuserstyle ? p.kind == 2 : p.kind >= 1;
            if (!wanted || !LevelInFilter(p.fl, lower, upper)) continue;
            if (const auto px = RasterPosition(ModelPoint{p.x, p.y, p.z}, frame_)) {
                layer_.SetColour(Rgb{p.colour[0], p.colour[1], p.colour[2]});
                layer_.DrawSymbol(kSymTrailPoint, px->x, px->y);
                ++stats_.trailPointsDrawn;
            }
        }
    }
}

void RadarRenderer::FirstPass(const RenderInputs& in) {
    const FlightTable& table = *in.table;
    const RadarDisplayState& d = *in.display;
    const ColourTable& colours = *in.colours;
    const WindowTargetMarks& marks = table.windows[static_cast<std::size_t>(d.window == 2 ? 1 : 0)];
    ScreenCache& cache = *in.cache;
    const RingCentrePosition centre = PublishedRingCentre(*in.view);
    const int divisor = [&] {
        const int seconds = IntOf(Trim(d.cbvector));
        return seconds == 30 ? 120 : seconds == 90 ? 45 : seconds == 120 ? 30 : 60;
    }();
    const int dotInterval = std::max(1, IntOf(Trim(d.cbtrails1)));
    const int hi = marks.highlighted, sel = marks.selected;
    const bool pair = hi >= 0 && sel >= 0 && hi != sel;

    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        const Tflight& f = table.flights[s];
        TargetScreenEntry& entry = cache[s];
        hidden_[s] = true;
        entry.onscreen = false;
        if (!TargetDrawn(f)) continue;
        entry.lat = static_cast<float>(RealOf(Trim(f.lat.view())));
        entry.lon = static_cast<float>(RealOf(Trim(f.lon.view())));
        const TargetClass cls = ClassifyTarget(f.altlabel.view(), d.cbupper, d.cblower);
        cls_[s] = static_cast<std::uint8_t>(cls);
        ++stats_.classCount[static_cast<std::size_t>(cls)];
        const FirstPassStyle style =
            FirstPassColour(f, colours, d.marks, in.maxVrateNoColourChange);
        colour_[s] = style.colour;
        userColoured_[s] = style.userColoured;

        const auto px = TargetPixel(entry.lat, entry.lon, frame_);
        entry.onscreen = px.has_value();
        if (px) entry.x = px->x, entry.y = px->y;
        const bool highlighted = slot == hi, selected = slot == sel;
        if (d.usercolorshowonly && !style.userColoured && !highlighted && !selected) {
            // Hidden, but still a symbol for orientation while "symbols for others" is down.
            if (d.spbdiamonds && !d.spbhideall && px) {
                layer_.SetColour(style.colour);
                layer_.DrawSymbol(kSymFiltered, px->x, px->y);
            }
            continue;
        }
        hidden_[s] = false;
        const std::string_view labeltext = f.labeltext.view(), altlabel = f.altlabel.view();
        const bool vehicleLike = labeltext.find('v') != std::string_view::npos ||
                                 altlabel.find('-') != std::string_view::npos;
        const bool aircraftShapes = !d.spbhideall && !vehicleLike && !altlabel.empty();
        Colour(style.colour);

        if (d.marks[kColSeparationBoxes] && cls == kClassAir && aircraftShapes &&
            d.separation != 0) {
            Colour(colours[kColSeparationBoxes]);
            DrawDashedCircle(5, d.separation / 2.0, f.latf, f.lonf);
            Colour(style.colour);
        }
        const bool vectorButton = cls == kClassAir        ? d.okvector
                                  : cls == kClassFiltered ? d.xvector
                                                          : d.gndvector;
        if ((vectorButton || f.vessel) && !f.track3.empty()) {
            double track = f.trackf, speed = f.gsf;
            if (f.vessel) {
                if (d.vesselsShown && !f.gs4.empty()) {
                    if (speed < 0.5 && !f.heading.empty()) {
                        track = RealOf(Trim(f.heading.view()));
                        speed = 0.75;
                    }
                    const GeoPosition end = DestinationPoint(f.latf, f.lonf, track, speed / 6);
                    glBegin(GL_LINES);
                    GeoVertex(f.latf, f.lonf, kTargetHeightKm);
                    GeoVertex(end.lat, end.lon, kVectorHeightKm);
                    glEnd();
                }
            } else if (aircraftShapes && !f.gs4.empty()) {
                const GeoPosition end = DestinationPoint(f.latf, f.lonf, track, speed / divisor);
                glBegin(GL_LINES);
                GeoVertex(f.latf, f.lonf, kTargetHeightKm);
                GeoVertex(end.lat, end.lon, kVectorHeightKm);
                if (pair && (highlighted || selected) && speed > 0) {
                    // Pair prediction: on to ten minutes of travel.
                    const Tflight& other =
                        table.flights[static_cast<std::size_t>(highlighted ? sel : hi)];
                    Colour(std::abs(f.fl - other.fl) < 8 ? colours[kColDistress]
                                                         : colours[kColSquawkIdent]);
                    const GeoPosition further =
                        DestinationPoint(end.lat, end.lon, track, speed / 6 - speed / divisor);
                    GeoVertex(end.lat, end.lon, kVectorHeightKm);
                    GeoVertex(further.lat, further.lon, kVectorHeightKm);
                    Colour(style.colour);
                }
                glEnd();
            } else if (!d.spbhideall && vehicleLike) {
                const GeoPosition end = DestinationPoint(f.latf, f.lonf, track, 1.0 / 30);
                glBegin(GL_LINES);
                GeoVertex(f.latf, f.lonf, 0);
                GeoVertex(end.lat, end.lon, 0);
                glEnd();
            }
        }
        if (pair && selected && f.gsf > 0) {
            const Tflight& other = table.flights[static_cast<std::size_t>(hi)];
            const ClosestApproach ca = ComputeClosestApproach(f, other);
            if (ca.converging) {
                PairPrediction& p = stats_.pair;
                p.converging = true;
                p.minimumDistance = ca.minimumDistance;
                p.currentDistance = ca.currentDistance;
                p.seconds = ca.seconds;
                if (const auto a = TargetPixel(ca.latA, ca.lonA, frame_))
                    p.ax = a->x, p.ay = a->y, p.aVisible = true;
                if (const auto b = TargetPixel(ca.latB, ca.lonB, frame_))
                    p.bx = b->x, p.by = b->y, p.bVisible = true;
                auto label = [](const Tflight& t) {
                    std::string l;
                    for (char c : t.labeltext.view())
                        if (c != '!') l += c;
                    return l.substr(0, 8);
                };
                p.labelA = label(f);
                p.labelB = label(other);
                p.levelA = PredictedLevel(f, ca.seconds);
                p.levelB = PredictedLevel(other, ca.seconds);
                p.conflict =
                    std::abs(IntOf(p.levelA.substr(0, 3)) - IntOf(p.levelB.substr(0, 3))) < 8;
                p.closestApproachUtc = in.utcNow + ca.seconds / 86400.0;
            }
        }
        const int finder = d.ctrlHeld && hi >= 0 ? hi : sel;
        if (d.marks[kColDirectionFinder] && slot == finder) {
            Colour(colours[kColDirectionFinder]);
            glBegin(GL_LINES);
            GeoVertex(f.latf, f.lonf, kTargetHeightKm);
            GeoVertex(centre.lat, centre.lon, kTargetHeightKm);
            glEnd();
        }
        const bool trailButton = cls == kClassAir        ? d.oktrails
                                 : cls == kClassFiltered ? d.xtrails
                                                         : d.gndtrails;
        if ((trailButton || f.vessel) && d.cbatctrails && !d.spbhideall) {
            const std::string_view replay = ReplaySpeed(table, f);
            const int k = f.vessel || FastReplay(replay) ? 1 : dotInterval;
            const PositionHistory& h = table.history[s];
            const int count = h.wrapped ? kHistoryLength : h.writepos;
            layer_.SetColour(style.colour);
            for (int i = 0; i < count; i += k) {
                const HistoryEntry& e = h.entries[static_cast<std::size_t>(i)];
                if (const auto p = TargetPixel(e.lat, e.lon, frame_))
                    layer_.DrawSymbol(kSymRecentTrail, p->x, p->y);
            }
        }
    }
}

void RadarRenderer::SecondPass(const RenderInputs& in) {
    const FlightTable& table = *in.table;
    const RadarDisplayState& d = *in.display;
    const ColourTable& colours = *in.colours;
    const WindowTargetMarks& marks = table.windows[static_cast<std::size_t>(d.window == 2 ? 1 : 0)];
    const ScreenCache& cache = *in.cache;
    const Rgb& stca = colours[kColStca];
    const Rgb& stale = colours[kColInactiveFlight];

    for (int slot = 0; slot < kMaxFlights; ++slot) {
        const auto s = static_cast<std::size_t>(slot);
        const TargetScreenEntry& entry = cache[s];
        if (hidden_[s] || !entry.onscreen) continue;
        const Tflight& f = table.flights[s];
        const auto cls = static_cast<TargetClass>(cls_[s]);
        TargetRoles roles;
        roles.highlighted = slot == marks.highlighted;
        roles.selected = slot == marks.selected;
        roles.followed = slot == marks.followed;
        roles.mobileClient = f.hold45min;
        const Rgb& cached = colour_[s];
        LabelContext ctx;
        ctx.layout = in.labels;
        ctx.markLabel = in.markLabel;
        ctx.bearingText = entry.bearingText.view();
        ctx.distanceText = entry.distanceText.view();
        ctx.windOption = d.labelOption && !roles.highlighted && !roles.selected;
        const int position =
            entry.labelMode == kLabelDefault ? d.defaultLabelPosition : entry.labelPosition;

        if (f.vessel) {
            if (!d.vesselsShown) continue;
            const char status = f.mcpmode;
            int symbol = f.beacon ? kSymBeacon : kSymVessel;
            int item = kColAisRestricted;
            if (!f.beacon) {
                if (status == '1') symbol = kSymVesselAnchored;
                if (status == '5') symbol = kSymVesselMoored;
                if (status == '8') symbol = kSymVesselSailing;
                if (status == '0') item = kColAisUnderway;
                if (status == '1') item = kColAisAnchored;
                if (status == '5') item = kColAisMoored;
            } else {
                item = kColAisBeacon;
            }
            Rgb c = colours[item];
            if (f.state != 1) c = colours[kColInactiveFlight];
            if (roles.highlighted) c = colours[kColHighlightedFlight];
            if (roles.selected) c = colours[kColSelectedFlight];
            std::array<std::string, 5> lines{};
            if (d.marks[item]) {
                ctx.userColoured = userColoured_[s];
                lines = ComposeLabel(
                    roles.highlighted || roles.selected ? kPageVesselExtended : kPageVessel, f,
                    ctx);
            }
            DrawLabel(lines, stca, stale, c, false, position, symbol, entry.x, entry.y);
            continue;
        }

        const Rgb c = SecondPassColour(f, cls, cached, roles, colours, d.marks);
        const bool emergency = IsDistressSquawk(f.squawk.view());
        const int symbol =
            TargetSymbol(f, cls, entry.labelMode == kLabelManual, ReplaySpeed(table, f));
        const bool symbolButton = cls == kClassAir        ? d.oksymbol
                                  : cls == kClassFiltered ? d.xsymbol
                                                          : d.gndsymbol;
        const bool noSymbol = !symbolButton && !roles.highlighted && !roles.selected && !emergency;
        std::array<std::string, 5> lines{};
        if (!d.spbhideall) {
            ctx.userColoured = d.spbshowregs && userColoured_[s];
            lines = ComposeLabel(LabelSetFor(f, cls, roles, d), f, ctx);
        }
        DrawLabel(lines, stca, stale, c, noSymbol, position, symbol, entry.x, entry.y);
    }
}

void RadarRenderer::DrawLabel(const std::array<std::string, 5>& rawLines, const Rgb& percent,
                              const Rgb& dollar, const Rgb& colour, bool noSymbol, int position,
                              int symbol, int x, int y) {
    // Empty lines at the top are dropped so that the others move up.
    std::array<std::string, 5> lines{};
    std::size_t first = 0;
    while (first < rawLines.size() && rawLines[first].empty()) ++first;
    for (std::size_t i = first; i < rawLines.size(); ++i)
        lines[i - first] = TextToCharCodes(rawLines[i]);

    if (position >= 0 && LabelExcluded(x, y, height_, highlightActive_, overlayHidden_)) return;
    const LabelBox box = ComputeLabelBox(lines, position, largeFont_);
    if (position < 0) {
        // The centre mark: an empty label box.
        leaders_.push_back({x + box.tx, y + box.ty, x, y + box.ty, colour});
        leaders_.push_back({x, y + box.ty, x, y + box.ty + box.height, colour});
        leaders_.push_back(
            {x, y + box.ty + box.height, x + box.tx, y + box.ty + box.height, colour});
        leaders_.push_back({x + box.tx, y + box.ty + box.height, x + box.tx, y + box.ty, colour});
        return;
    }
    if (!noSymbol) {
        layer_.SetColour(colour);
        layer_.DrawSymbol(symbol, x, y);
        ++stats_.symbolsDrawn;
    }
    if (lines[0].empty()) return;
    leaders_.push_back({x, y, x + box.lx, y + box.ly, colour});
    const std::string_view size = largeFont_ ? "12" : "10";
    const BitmapFont* font = shared_.fonts().Get(FontSizeFromName(size));
    const int cell = ColouredTextCellWidth(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const int ly = y + box.ty - static_cast<int>(i) * box.lineHeight;
        const int lx = x + box.tx;
        if (glyphByGlyph_) {
            Rgb current = colour;
            for (std::size_t k = 0; k < lines[i].size(); ++k) {
                const char ch = lines[i][k];
                if (ch == '%')
                    current = percent;
                else if (ch == '$')
                    current = dollar;
                else if (ch == ' ')
                    current = colour;
                else {
                    Colour(current);
                    glRasterPos2i(lx + static_cast<int>(k) * cell, ly);
                    glCallList(shared_.fontBase(FontSizeFromName(size)) +
                               static_cast<std::uint8_t>(ch));
                }
            }
        } else if (font) {
            layer_.DrawColouredText(*font, lines[i], lx, ly, cell, percent, dollar, colour);
        }
    }
    ++stats_.labelsDrawn;
}

void RadarRenderer::FlushLayer() {
    if (!leaders_.empty()) {
        glBegin(GL_LINES);
        for (const auto& l : leaders_) {
            Colour(l.colour);
            glVertex2f(static_cast<float>(l.x0) + 0.5f, static_cast<float>(l.y0) + 0.5f);
            glVertex2f(static_cast<float>(l.x1) + 0.5f, static_cast<float>(l.y1) + 0.5f);
        }
        glEnd();
        leaders_.clear();
    }
    const PixelRect r = layer_.dirty();
    if (r.empty()) return;
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, layer_.width());
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, r.x0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, r.y0);
    glRasterPos2i(r.x0, r.y0);
    glDrawPixels(r.x1 - r.x0 + 1, r.y1 - r.y0 + 1, GL_RGBA, GL_UNSIGNED_BYTE, layer_.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDisable(GL_ALPHA_TEST);
    layer_.Clear();
}

void RadarRenderer::DrawOverlays(const RenderInputs& in) {
    const FlightTable& table = *in.table;
    const RadarDisplayState& d = *in.display;
    const WindowTargetMarks& marks = table.windows[static_cast<std::size_t>(d.window == 2 ? 1 : 0)];
    OverlayInputs o;
    o.width = width_;
    o.height = height_;
    o.window = d.window;
    o.display = &d;
    o.colours = in.colours;
    o.centreLat = in.view->centreLat;
    o.centreLon = in.view->centreLon;
    o.altitudeText = CameraAltitudeText(*in.view);
    o.cycleMs = in.cycleMs;
    o.freeze = in.freeze;
    o.utcNow = in.utcNow;
    o.localNow = in.localNow;
    o.statusLines = in.statusLines;
    o.solid = in.solid;
    const int strip = marks.selected >= 0 ? marks.selected : marks.highlighted;
    if (marks.highlighted >= 0 || (marks.selected >= 0 && marks.selected != marks.followed)) {
        o.stripFlight = &table.flights[static_cast<std::size_t>(strip)];
        o.stripEntry = &(*in.cache)[static_cast<std::size_t>(strip)];
    }
    const int finder = d.ctrlHeld && marks.highlighted >= 0 ? marks.highlighted : marks.selected;
    if (finder >= 0) o.bearingEntry = &(*in.cache)[static_cast<std::size_t>(finder)];
    o.pair = stats_.pair;

    for (const OverlayCommand& c : PlanOverlays(o)) {
        Colour(c.colour);
        const float x0 = static_cast<float>(c.x0), x1 = static_cast<float>(c.x1);
        const float y0 = static_cast<float>(c.y0), y1 = static_cast<float>(c.y1);
        switch (c.kind) {
            case OverlayCommand::kFilledBox:
                glRectf(x0, y0, x1, y1);
                break;
            case OverlayCommand::kOutlineBox:
            case OverlayCommand::kMarker:
                glBegin(GL_LINE_LOOP);
                glVertex2f(x0 + 0.5f, y0 + 0.5f);
                glVertex2f(x1 + 0.5f, y0 + 0.5f);
                glVertex2f(x1 + 0.5f, y1 + 0.5f);
                glVertex2f(x0 + 0.5f, y1 + 0.5f);
                glEnd();
                break;
            case OverlayCommand::kLine:
                glBegin(GL_LINES);
                glVertex2f(x0 + 0.5f, y0 + 0.5f);
                glVertex2f(x1 + 0.5f, y1 + 0.5f);
                glEnd();
                break;
            case OverlayCommand::kText:
                glRasterPos2i(c.x0, c.y0);
                shared_.DrawText(c.text, c.sizeName);
                break;
        }
    }
}

}  // namespace aerova
