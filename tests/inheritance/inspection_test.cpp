// What the inspection windows show.
