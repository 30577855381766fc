int gets = OLD;
