/* Writes the sample metafiles resources/samples/sample-drawing.emf and sample-drawing.wmf
 * with libuemf's writers (libuemf-dev). Both show the same scene at 480 x 360 pixels at
 * 96 dpi: a sky, a sun, a hill and a house. tools/make-samples.sh metafiles builds and runs
 * this program; the committed files are its output.
 *
 *   cc tools/make-metafiles.c -luemf -o make-metafiles && ./make-metafiles OUTPUT-FOLDER
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <uemf.h>
#include <uwmf.h>

/* The scene in a 480 x 360 grid; each format scales it to its own units. */
struct Shape {
    char kind; /* r rectangle, e ellipse, p polygon */
    int points[8];
    int count; /* polygon corners */
    unsigned char red, green, blue;
};

static const struct Shape scene[] = {
    {'r', {0, 0, 480, 240}, 0, 0x87, 0xCE, 0xEB},              /* sky */
    {'r', {0, 240, 480, 360}, 0, 0x3C, 0xB3, 0x71},            /* meadow */
    {'e', {340, 30, 430, 120}, 0, 0xFF, 0xD7, 0x00},           /* sun */
    {'p', {0, 240, 150, 130, 300, 240, 0, 0}, 3, 0x2E, 0x8B, 0x57}, /* hill */
    {'r', {100, 200, 220, 300}, 0, 0xCD, 0x37, 0x37},          /* house */
    {'p', {90, 200, 160, 150, 230, 200, 0, 0}, 3, 0x8B, 0x45, 0x13}, /* roof */
    {'r', {145, 250, 175, 300}, 0, 0x5C, 0x3A, 0x21},          /* door */
};
static const int shapes = sizeof scene / sizeof scene[0];

static void check(int failed, const char* what) {
    if (failed) {
        fprintf(stderr, "make-metafiles: %s failed\n", what);
        exit(1);
    }
}

/* EMF: a 96 dpi reference device, so logical units are pixels; frame 127 x 95.25 mm. */
static void writeEmf(const char* path) {
    EMFTRACK* et = NULL;
    EMFHANDLES* eht = NULL;
    check(emf_start(path, 100000, 25000, &et), "emf_start");
    check(htable_create(32, 32, &eht), "htable_create");
    const U_RECTL bounds = {0, 0, 479, 359};
    const U_RECTL frame = {0, 0, 12700, 9525};
    const U_SIZEL device = {960, 960}, millimetres = {254, 254};
    size_t length = 0;
    uint16_t* description = U_Utf8ToUtf16le("Vistrel\0sample drawing\0\0", 25, &length);
    check(emf_append((PU_ENHMETARECORD)U_EMRHEADER_set(bounds, frame, NULL, (U_CBSTR)length,
                                                       description, device, millimetres, 0),
                     et, U_REC_FREE),
          "header");
    free(description);
    uint32_t pen = 0;
    check(emf_append((PU_ENHMETARECORD)createpen_set(&pen, eht,
                                                     logpen_set(U_PS_NULL, point32_set(0, 0),
                                                                colorref3_set(0, 0, 0))),
                     et, U_REC_FREE),
          "pen");
    check(emf_append((PU_ENHMETARECORD)selectobject_set(pen, eht), et, U_REC_FREE), "pen");
    for (int i = 0; i < shapes; ++i) {
        const struct Shape* s = &scene[i];
        uint32_t brush = 0;
        check(emf_append((PU_ENHMETARECORD)createbrushindirect_set(
                             &brush, eht,
                             logbrush_set(U_BS_SOLID, colorref3_set(s->red, s->green, s->blue), 0)),
                         et, U_REC_FREE),
              "brush");
        check(emf_append((PU_ENHMETARECORD)selectobject_set(brush, eht), et, U_REC_FREE), "select");
        const U_RECTL box = {s->points[0], s->points[1], s->points[2], s->points[3]};
        char* record = NULL;
        if (s->kind == 'r') record = U_EMRRECTANGLE_set(box);
        else if (s->kind == 'e') record = U_EMRELLIPSE_set(box);
        else {
            U_POINTL corners[4];
            for (int k = 0; k < s->count; ++k)
                corners[k] = point32_set(s->points[2 * k], s->points[2 * k + 1]);
            record = U_EMRPOLYGON_set(bounds, (uint32_t)s->count, corners);
        }
        check(emf_append((PU_ENHMETARECORD)record, et, U_REC_FREE), "shape");
        check(emf_append((PU_ENHMETARECORD)deleteobject_set(&brush, eht), et, U_REC_FREE), "delete");
    }
    check(emf_append((PU_ENHMETARECORD)U_EMREOF_set(0, NULL, et), et, U_REC_FREE), "eof");
    check(emf_finish(et, eht), "emf_finish");
    emf_free(&et);
    htable_free(&eht);
}

/* WMF: placeable, 5 x 3.75 inches at 1440 units per inch, the scene drawn 3 units a pixel. */
static void writeWmf(const char* path) {
    WMFTRACK* wt = NULL;
    WMFHANDLES* wht = NULL;
    enum { Scale = 3 };
    check(wmf_start(path, 100000, 25000, &wt), "wmf_start");
    check(wmf_htable_create(32, 32, &wht), "wmf_htable_create");
    U_PAIRF* size = U_PAIRF_set(5.0f, 3.75f);
    check(wmf_header_append((U_METARECORD*)U_WMRHEADER_set(size, 1440), wt, U_REC_FREE), "header");
    free(size);
    check(wmf_append((U_METARECORD*)U_WMRSETWINDOWEXT_set(point16_set(480 * Scale, 360 * Scale)),
                     wt, U_REC_FREE),
          "window extent");
    check(wmf_append((U_METARECORD*)U_WMRSETWINDOWORG_set(point16_set(0, 0)), wt, U_REC_FREE),
          "window origin");
    check(wmf_append((U_METARECORD*)U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC), wt, U_REC_FREE),
          "map mode");
    uint32_t pen = 0;
    check(wmf_append((U_METARECORD*)wcreatepenindirect_set(
                         &pen, wht, U_PEN_set(U_PS_NULL, 0, colorref3_set(0, 0, 0))),
                     wt, U_REC_FREE),
          "pen");
    check(wmf_append((U_METARECORD*)wselectobject_set(pen, wht), wt, U_REC_FREE), "pen");
    for (int i = 0; i < shapes; ++i) {
        const struct Shape* s = &scene[i];
        uint32_t brush = 0;
        check(wmf_append((U_METARECORD*)wcreatebrushindirect_set(
                             &brush, wht,
                             U_WLOGBRUSH_set(U_BS_SOLID, colorref3_set(s->red, s->green, s->blue), 0)),
                         wt, U_REC_FREE),
              "brush");
        check(wmf_append((U_METARECORD*)wselectobject_set(brush, wht), wt, U_REC_FREE), "select");
        const U_RECT16 box = U_RECT16_set(point16_set(s->points[0] * Scale, s->points[1] * Scale),
                                          point16_set(s->points[2] * Scale, s->points[3] * Scale));
        char* record = NULL;
        if (s->kind == 'r') record = U_WMRRECTANGLE_set(box);
        else if (s->kind == 'e') record = U_WMRELLIPSE_set(box);
        else {
            U_POINT16 corners[4];
            for (int k = 0; k < s->count; ++k)
                corners[k] = point16_set(s->points[2 * k] * Scale, s->points[2 * k + 1] * Scale);
            record = U_WMRPOLYGON_set((uint16_t)s->count, corners);
        }
        check(wmf_append((U_METARECORD*)record, wt, U_REC_FREE), "shape");
        check(wmf_append((U_METARECORD*)wdeleteobject_set(&brush, wht), wt, U_REC_FREE), "delete");
    }
    check(wmf_append((U_METARECORD*)U_WMREOF_set(), wt, U_REC_FREE), "eof");
    check(wmf_finish(wt), "wmf_finish");
    wmf_free(&wt);
    wmf_htable_free(&wht);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make-metafiles OUTPUT-FOLDER\n");
        return 2;
    }
    char path[4096];
    snprintf(path, sizeof path, "%s/sample-drawing.emf", argv[1]);
    writeEmf(path);
    snprintf(path, sizeof path, "%s/sample-drawing.wmf", argv[1]);
    writeWmf(path);
    return 0;
}
