#pragma once
// Placeholder until the engine lands.
