// The optional system agent and hot-corner libraries.
#pragma once

int DetectSystemAgent();
