// The translations library carries only its resource.
