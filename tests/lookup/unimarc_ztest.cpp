// A Z39.50 server for the tests: it answers a search for an ISBN with the recorded UNIMARC record
// answers/z3950_unimarc_<isbn>.mrc (ISO 2709, in the character set its field 100 names), or with
// no hits. Started as yaz-ztest is: unimarc-ztest tcp:127.0.0.1:PORT
#include <yaz/backend.h>
#include <yaz/oid_db.h>
#include <yaz/querytowrbuf.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char isbn[32];

static int search(void *handle, bend_search_rr *rr)
{
    (void)handle;
    WRBUF query = wrbuf_alloc();
    yaz_query_to_wrbuf(query, rr->query);
    const char *q = wrbuf_cstr(query);
    size_t n = 0;
    isbn[0] = '\0';
    for (; *q && n + 1 < sizeof isbn; ++q)
        if (isdigit(static_cast<unsigned char>(*q)) || *q == 'X')
            isbn[n++] = *q;
    isbn[n] = '\0';
    wrbuf_destroy(query);
    /* "@attr 1=7 <isbn>": the use attribute's 1 and 7 come first. */
    if (n > 13)
        memmove(isbn, isbn + n - 13, 14);
    char path[512];
    snprintf(path, sizeof path, "%s/z3950_unimarc_%s.mrc", ANSWERS_DIR, isbn);
    FILE *f = fopen(path, "rb");
    rr->hits = f ? 1 : 0;
    if (f)
        fclose(f);
    return 0;
}

static int fetch(void *handle, bend_fetch_rr *r)
{
    (void)handle;
    char path[512];
    snprintf(path, sizeof path, "%s/z3950_unimarc_%s.mrc", ANSWERS_DIR, isbn);
    FILE *f = fopen(path, "rb");
    if (!f || r->number != 1) {
        if (f)
            fclose(f);
        r->errcode = 13; /* present request out of range */
        return 0;
    }
    char data[65536];
    const size_t length = fread(data, 1, sizeof data, f);
    fclose(f);
    r->record = odr_strdupn(r->stream, data, length);
    r->len = static_cast<int>(length);
    r->output_format = odr_oiddup(r->stream, yaz_oid_recsyn_unimarc);
    r->last_in_set = 1;
    return 0;
}

static bend_initresult *init(bend_initrequest *q)
{
    auto *r = static_cast<bend_initresult *>(odr_malloc(q->stream, sizeof(bend_initresult)));
    r->errcode = 0;
    r->errstring = 0;
    r->handle = 0;
    q->bend_search = search;
    q->bend_fetch = fetch;
    return r;
}

static void close_handle(void *handle)
{
    (void)handle;
}

int main(int argc, char **argv)
{
    return statserv_main(argc, argv, init, close_handle);
}
