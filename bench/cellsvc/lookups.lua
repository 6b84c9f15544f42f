-- wrk script: asks for random cells of the export that make_sample.py --rows writes.
-- Its keys: for area index a and cell index c (50 cells an area),
-- mcc = 200 + a % 500, net = 1 + floor(a / 500) % 100, area = a + 1,
-- cell = 65536 * (a % 4096) + c + 1.
local areas = 100000

function init(args)
  if args[1] then
    areas = tonumber(args[1])
  end
  math.randomseed(os.time() + tonumber(tostring({}):sub(8), 16) % 100000)
end

function request()
  local a = math.random(0, areas - 1)
  local c = math.random(0, 49)
  local path = string.format(
    "/cellid_location/?&cellid=%d&operatorid=%d&countrycode=%d&lac=%d",
    65536 * (a % 4096) + c + 1, 1 + math.floor(a / 500) % 100, 200 + a % 500, a + 1)
  return wrk.format("GET", path)
end

-- Any reply other than 200 means a key was built wrongly or the server failed.
local failures = 0
function response(status, headers, body)
  if status ~= 200 then
    failures = failures + 1
  end
end

function done(summary, latency, requests)
  io.write(string.format("non-200 replies: %d\n", summary.errors.status))
end
