#pragma once
// The 3DS scene-file toolkit: a procedural interface of plain records and free functions
// whose names end in 3ds. Records are made by their Init and New operations and freed by the
// matching Release or Delete operations. No call returns an error code: failures are pushed
// on the error list (error3ds.h), and the toolkit keeps process-wide state (error list,
// open-file table, current file, node list) without locks: use it from one thread.
#include "engine/file3ds/chunk3ds.h"
#include "engine/file3ds/database3ds.h"
#include "engine/file3ds/error3ds.h"
#include "engine/file3ds/file3ds.h"
#include "engine/file3ds/kf3ds.h"
#include "engine/file3ds/light3ds.h"
#include "engine/file3ds/material3ds.h"
#include "engine/file3ds/mesh3ds.h"
#include "engine/file3ds/node3ds.h"
