#pragma once
// Engine start and end of the previews (main preview, simple previews,
// preview sound): the "previews" step of engine start.
int PreviewsInit();
void PreviewsEnd();
