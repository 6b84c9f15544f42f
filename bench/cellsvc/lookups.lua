-- wrk script: asks for random cells of the export that make_sample.py --rows writes.
-- Its keys: for area index a and cell index c (50 cells an area),
-- mcc = 200 + a % 500, net = 1 + floor(a / 500) % 100, area = a + 1,
-- cell = 65536 * (a % 4096) + c + 1.
-- The requests are drawn once at start (100,000 random cells, asked in turn), so that wrk
-- spends its time on the network rather than in Lua.
local requests = {}
local count = 100000
local next = 1

function init(args)
  local areas = tonumber(args[1] or "100000")
  math.randomseed(os.time() + tonumber(tostring({}):sub(8), 16) % 100000)
  for i = 1, count do
    local a = math.random(0, areas - 1)
    local c = math.random(0, 49)
    requests[i] = wrk.format("GET", string.format(
      "/cellid_location/?&cellid=%d&operatorid=%d&countrycode=%d&lac=%d",
      65536 * (a % 4096) + c + 1, 1 + math.floor(a / 500) % 100, 200 + a % 500, a + 1))
  end
end

function request()
  local r = requests[next]
  next = next % count + 1
  return r
end

-- Any reply other than 200 means a key was built wrongly or the server failed.
function done(summary, latency, requests)
  io.write(string.format("non-200 replies: %d\n", summary.errors.status))
end
